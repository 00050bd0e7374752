#!/usr/bin/env python3
"""Cuts the seed corpus of every fuzz target from the server recordings.

Usage: fuzz/cut_corpus.py [TRANSCRIPT_DIR [CORPUS_DIR]]

TRANSCRIPT_DIR defaults to tests/data, where the recordings the tests replay
live. Each recording is JSONL, one datagram per line, with the message in "text"
(or the raw datagram, NUL included, in "hex"). The seeds are the distinct
messages of each kind, whole batches of consecutive messages for the
dispatcher, zlib streams of real messages for the decompressor, and a few
hand-written configuration files and command lines. File names are the
SHA-1 of the content, as libFuzzer names its own finds.

The seeds of the two round-trip targets (view_roundtrip_fuzz,
param_roundtrip_fuzz) are not messages but the bytes from which they build
one; they are a few of libFuzzer's own finds and are kept as they are.
"""

import gzip
import hashlib
import json
import os
import struct
import sys
import zlib


def load(path):
    messages = []
    with open(path) as f:
        for line in f:
            obj = json.loads(line)
            if "text" in obj:
                messages.append(obj["text"].encode("latin-1", "replace"))
            else:
                messages.append(bytes.fromhex(obj["hex"]).split(b"\0")[0])
    return messages


def load_text(path):
    """A recording of texts only: one message a line, plain or gzip-compressed."""
    opener = gzip.open if path.endswith(".gz") else open
    with opener(path, "rb") as f:
        return [line.rstrip(b"\n") for line in f if line.strip()]


def feature_seeds(lines):
    """Whole batches for the features: the opening (init answer, parameters,
    the first four types), then windows of cycles, one batch a cycle, with the
    server's answers to a coach's say among them. A batch's messages end with
    a NUL each, and an empty message ends the batch."""
    opening = [m for m in lines[:40] if m.startswith((b"(init ", b"(server_param ",
                                                      b"(player_param ", b"(ok eye"))]
    opening += [m for m in lines if m.startswith(b"(player_type ")][:4]
    cycles, current = [], []
    for m in lines:
        if m.startswith(b"(see_global ") and current:
            cycles.append(current)
            current = []
        if not m.startswith((b"(player_type ", b"(server_param ", b"(player_param ")):
            current.append(m)
    cycles.append(current)
    answers = [b"(ok team_graphic 0 0)", b"(ok say)", b"(error cannot_say_freeform_while_playon)",
               b"(warning invalid_tile_location)", b"(ok change_player_type 3 5)",
               b"(warning no_subs_left)"]
    notices = [i for i, c in enumerate(cycles) if any(m.startswith(b"(change_player_type") for m in c)]
    starts = sorted(set([0, len(cycles) // 3, len(cycles) - 10] + notices[-1:]))
    seeds = []
    for start in starts:
        window = [opening] + cycles[max(start, 0):max(start, 0) + 12]
        for k, answer in enumerate(answers):
            if 2 * k + 2 < len(window):
                window[2 * k + 2] = window[2 * k + 2] + [answer]
        seeds.append(b"\0".join(b"\0".join(batch) + b"\0" for batch in window))
    return seeds


def put(corpus, target, content):
    folder = os.path.join(corpus, target)
    os.makedirs(folder, exist_ok=True)
    name = hashlib.sha1(content).hexdigest()
    with open(os.path.join(folder, name), "wb") as f:
        f.write(content)


def deflate_stream(messages, level=6):
    """One zlib stream, each message and its NUL ending at a sync flush."""
    z = zlib.compressobj(level)
    return [z.compress(m + b"\0") + z.flush(zlib.Z_SYNC_FLUSH) for m in messages]


def records(datagrams):
    return b"".join(struct.pack(">H", len(d)) + d for d in datagrams)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    transcripts = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "tests", "data")
    corpus = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "corpus")
    recordings = {}
    for name in sorted(os.listdir(transcripts)):
        if name.endswith(".jsonl"):
            recordings[name] = load(os.path.join(transcripts, name))
        elif name.endswith((".txt", ".txt.gz")) and not name.startswith("start_"):
            for seed in feature_seeds(load_text(os.path.join(transcripts, name))):
                put(corpus, "feature_dispatch_fuzz", seed)

    heads = {
        b"(see_global ": "view_fuzz",
        b"(ok look ": "view_fuzz",
        b"(hear ": "referee_fuzz",
        b"(change_player_type ": "change_fuzz",
        b"(ok change_player_type ": "change_fuzz",
        b"(clang ": "clang_fuzz",
        b"(player_type ": "player_type_fuzz",
        b"(server_param ": "server_param_fuzz",
        b"(player_param ": "player_param_fuzz",
    }
    views_taken = 0
    for messages in recordings.values():
        for m in messages:
            for head, target in heads.items():
                if not m.startswith(head):
                    continue
                if target == "view_fuzz":
                    # Views differ only in numbers; a handful is plenty.
                    views_taken += 1
                    if views_taken % 40 != 1:
                        continue
                if target == "change_fuzz":
                    for mode_byte in (0, 2, 0x20):  # before kick-off, play on, a later half
                        put(corpus, target, bytes([mode_byte]) + m)
                    continue
                put(corpus, target, m)
        # The dispatcher: the opening of the match in batches, and the end.
        # Short batches keep the fuzzer fast; together they cover the opening.
        for start in range(0, min(len(messages), 72), 6):
            put(corpus, "dispatch_fuzz", b"\0".join(messages[start:start + 6]) + b"\0")
        put(corpus, "dispatch_fuzz", b"\0".join(messages[-6:]) + b"\0")
        # The decompressor: the same messages as one compressed stream.
        for start in range(0, min(len(messages), 60), 15):
            put(corpus, "decompress_fuzz", records(deflate_stream(messages[start:start + 15])))
    # Compression switched on in the middle of a batch.
    some = next(iter(recordings.values()))
    plain = [some[0], b"(ok compression 1)"]
    put(corpus, "dispatch_fuzz", b"\0".join(plain) + b"\0" + b"".join(deflate_stream(some[1:6], 1)))
    put(corpus, "referee_fuzz", b"(hear 3 referee goalie_catch_ball_l)")
    put(corpus, "referee_fuzz", b"(hear 3 referee penalty_winner_r)")

    put(corpus, "config_file_fuzz",
        b"# coach settings\nteam_name : Coachees\ncoach_name : \"Head Coach\"\n"
        b"version : 9.4\nuse_coach_name : on\nalarm_cycle_divs : 2\n"
        b"server_down_cycle : 30\nhost : 127.0.0.1\nport : 6002\nuse_advise : off\n"
        b"write_after_game\n")
    put(corpus, "config_file_fuzz", b"port : 60x2\nversion : 9.4.1\nuse_clang : maybe\n  indented : 1\n")
    put(corpus, "command_line_fuzz",
        b"\0".join([b"-team_name", b"Coachees", b"-t", b"A", b"-port", b"6002", b"-v", b"9.4",
                    b"-use_coach_name", b"on", b"-write_after_game", b"-host", b"127.0.0.1"]))
    put(corpus, "command_line_fuzz", b"\0".join([b"--help", b"-port", b"x", b"-use_advise", b"maybe"]))


if __name__ == "__main__":
    main()
