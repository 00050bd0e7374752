#!/usr/bin/env bash
# Sends termination signals to the coach at random moments, many rounds over,
# while a local peer floods it (the end-to-end test TerminationTest, with more
# rounds than the suite runs). Usage: tools/termination_rounds.sh [ROUNDS [BUILD_DIR]]
# BRENVO_TERMINATION_SEED=N repeats the rounds of an earlier run.
set -euo pipefail
rounds=${1:-1000}
build=${2:-build}
BRENVO_TERMINATION_ROUNDS=$rounds exec "$build/test_e2e" \
  --gtest_filter='TerminationTest.SignalAtAnyMomentEndsInOrderUnderAFlood'
