#!/bin/sh
# Runs the coach under valgrind's memcheck, for the practice server's demo:
#   build/practice_server --demo --coach bench/valgrind_coach.sh
# BRENVO_COACH (default build/brenvo_coach) names the coach binary; the
# report goes to VALGRIND_LOG (default valgrind-coach.log). The exit status
# is 9 when memcheck found an error or a leak.
exec valgrind --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=all \
  --error-exitcode=9 --log-file="${VALGRIND_LOG:-valgrind-coach.log}" \
  "${BRENVO_COACH:-build/brenvo_coach}" "$@"
