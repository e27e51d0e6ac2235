#!/bin/bash
# A stand-in for Xfce's xfconf-query, for tests on machines without Xfce: it
# keeps each property of each channel as a file below $XFCONF_STANDIN (the
# value, and its type beside it), answers as xfconf-query does, refuses to
# create a property without --create as older versions do, and appends every
# call, one line of quoted arguments, to $XFCONF_STANDIN/calls. With
# $XFCONF_STANDIN/unreachable present it fails like a client that finds no
# settings daemon.
set -u
store=${XFCONF_STANDIN:?XFCONF_STANDIN is not set}
mkdir -p "$store"
printf '%q ' "$@" >>"$store/calls"
echo >>"$store/calls"
if [[ -e $store/unreachable ]]; then
  echo "Failed to init libxfconf: the settings daemon cannot be reached." >&2
  exit 1
fi

channel='' property='' type='' value='' set=0 list=0 reset=0 create=0
while (($#)); do
  case $1 in
    -c | --channel) channel=$2; shift ;;
    -p | --property) property=$2; shift ;;
    -t | --type) type=$2; shift ;;
    -s | --set) value=$2; set=1; shift ;;
    --set=*) value=${1#--set=}; set=1 ;;
    -l | --list) list=1 ;;
    -r | --reset) reset=1 ;;
    -n | --create) create=1 ;;
    *) echo "xfconf-query stand-in: unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
[[ -n $channel ]] || { echo "xfconf-query stand-in: no channel" >&2; exit 2; }
file=$store/channels/$channel$property

if ((list)); then
  names=$(cd "$store/channels/$channel" 2>/dev/null && find . -name '*.type' | sed 's/^\.//; s/\.type$//' | sort)
  if [[ -z $names ]]; then echo "Channel \"$channel\" contains no properties."; else echo "$names"; fi
  exit 0
fi
[[ -n $property ]] || { echo "xfconf-query stand-in: no property" >&2; exit 2; }
if ((reset)); then
  rm -f "$file.type" "$file.value"
  exit 0
fi
if ((set)); then
  if [[ ! -e $file.type ]] && ((!create)); then
    echo "Property \"$property\" does not exist on channel \"$channel\". If a new property should be created, use the --create option." >&2
    exit 1
  fi
  [[ -n $type ]] || type=$(cat "$file.type" 2>/dev/null) || { echo "no type" >&2; exit 1; }
  if [[ $type == bool && $value != true && $value != false ]]; then
    echo "Unable to convert \"$value\" to type \"gboolean\"" >&2
    exit 1
  fi
  mkdir -p "$(dirname "$file")"
  printf '%s' "$type" >"$file.type"
  printf '%s' "$value" >"$file.value"
  exit 0
fi
if [[ ! -e $file.type ]]; then
  echo "Property \"$property\" does not exist on channel \"$channel\"." >&2
  exit 1
fi
cat "$file.value"
echo
