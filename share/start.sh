#!/bin/sh
# Starts the brenvo_coach online coach for one match. Put it beside the script
# that starts your players and run it once they are connected:
#
#   start.sh [HOST [TEAM]] [more coach arguments...]
#
# HOST is the simulation server's host (default localhost), TEAM the team name
# your players use (default BRENVO2003); an argument that begins with "-" is
# taken for neither. The settings come from the coach.conf beside this script
# when there is one, otherwise from the sample installed with the coach; HOST,
# TEAM and the further arguments (e.g. -port 6002) override the file. The exit
# status is the coach's: 0 when the match or the connection has ended, 1 after
# SIGINT, SIGTERM or SIGHUP.

prefix='@BRENVO_PREFIX@'
host=localhost
team=BRENVO2003
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  if [ -n "$1" ]; then host=$1; fi
  shift
  if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    if [ -n "$1" ]; then team=$1; fi
    shift
  fi
fi
config=$(dirname "$0")/coach.conf
if [ ! -f "$config" ]; then config=$prefix/share/brenvo_coach/coach.conf; fi
# exec: signals sent to this script's pid reach the coach itself.
exec "$prefix/bin/brenvo_coach" -h "$host" -t "$team" --coach-config "$config" "$@"
