#!/bin/sh
# Starts the brenvo_coach online coach for one match. Put it beside the script
# that starts your players and run it once they are connected:
#
#   start.sh [HOST [TEAM]] [more coach arguments...]
#
# The settings come from the coach.conf beside this script when there is one,
# otherwise from the sample installed with the coach. HOST (the simulation
# server's host) and TEAM (the team name your players use), when given, are
# passed on as -h and -t and override the file; when left out, the file's
# host and team_name decide. An argument that begins with "-" is taken for
# neither, so "start.sh -port 6002" passes HOST and TEAM over. The further
# arguments (e.g. -port 6002) override the file too. The exit status is the
# coach's (see the README's table of exit statuses).

prefix='@BRENVO_PREFIX@'
config=$(dirname "$0")/coach.conf
if [ ! -f "$config" ]; then config=$prefix/share/brenvo_coach/coach.conf; fi
coach=$prefix/bin/brenvo_coach

# HOST and TEAM become "-h HOST" and "-t TEAM" after the configuration file,
# in front of the further arguments; an empty HOST or TEAM is left out.
if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
  host=$1
  shift
  if [ $# -gt 0 ] && [ "${1#-}" = "$1" ]; then
    team=$1
    shift
    if [ -n "$team" ]; then set -- -t "$team" "$@"; fi
  fi
  if [ -n "$host" ]; then set -- -h "$host" "$@"; fi
fi
# exec: signals sent to this script's pid reach the coach itself.
exec "$coach" --coach-config "$config" "$@"
