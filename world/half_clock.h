#ifndef BRENVO_WORLD_HALF_CLOCK_H
#define BRENVO_WORLD_HALF_CLOCK_H

// The halves of a match in cycles: the normal halves, then the extra halves
// a tied match may play. Owns only their lengths, taken from the server's
// parameters; never reads the play mode, so it cannot tell whether extra time
// is played: it only says where each half would begin and end.

class ServerParam;

class HalfClock {
 public:
  // A current server's match: two halves of 3000 cycles, two extra of 1000.
  HalfClock();

  // The lengths from the server's parameters. The named parameter message
  // (protocol 8 and later) gives half_time and extra_half_time in seconds;
  // the positional one gives half_time in cycles.
  void configure(const ServerParam& server, double version);

  // The half that holds cycle: 0 for the first, nr_normal_halfs for the
  // first extra half, halves() once all of them are over. A half begins at
  // its first cycle: the kick-off of the second half is at its cycle 0.
  int halfOf(int cycle) const;
  // The cycle at which the half holding cycle ends; for a cycle past every
  // half, the end of the last one.
  int halfEnd(int cycle) const;
  int normalHalves() const { return normal_halves; }
  int halves() const { return normal_halves + extra_halves; }
  // Whether the halves have a length at all (a server may run without one).
  bool timed() const { return half_cycles > 0; }

 private:
  int half_cycles;        // cycles of a normal half; 0 or less: untimed
  int extra_half_cycles;  // cycles of an extra half
  int normal_halves;
  int extra_halves;

  // The cycle at which half ends (0-based), for half below halves().
  long endOf(int half) const;
};

#endif
