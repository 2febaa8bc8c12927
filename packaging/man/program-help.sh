#!/usr/bin/env bash
# program-help.sh PROGRAM [--commands] --help|--version: PROGRAM's answer, for help2man. The
# program is started by its name (its folder first on PATH), so that its usage lines name it as a
# user types it. With --commands, the help goes on with every sub-command's options under a heading
# of its own: the sub-commands are the help's lines that start with two blanks and a lower-case
# name; one that takes a kind first (report list, report competence) names the kinds in its usage
# line, or in its refusal when asked for its help without one; one that takes an action first
# (user add, user passwd, ...) lists the actions under "Acciones:" ("Actions:"), and each action
# has a section of its own after the command's.
set -euo pipefail
program=$1
shift
name=$(basename "$program")
PATH="$(dirname "$program"):$PATH"
with_commands=
if [ "${1:-}" = --commands ]; then
  with_commands=yes
  shift
fi
if [ "${1:-}" != --help ]; then
  exec "$name" "$@"
fi
# help2man finds the synopsis and the options by their English headings; a help may be Spanish.
english_headings() {
  sed -e 's/^Uso: /Usage: /' -e 's/^Opciones:$/Options:/'
}
if [ -z "$with_commands" ]; then
  "$name" --help | english_headings
  exit
fi

# One sub-command's help as a section of the page, headed by its name: its usage line and its
# "Options:" heading go (help2man keeps one of each for the program's), the rest is indented under
# the heading.
command_section() {
  printf '\n%s %s:\n' "$name" "$*"
  "$name" "$@" --help | english_headings | sed -e '/^Usage: /d' -e '/^Options:$/d' -e 's/^\([^ ]\)/  \1/'
}

"$name" --help | english_headings
commands=$("$name" --help | sed -n 's/^  \([a-z][a-z-]*\)  .*/\1/p')
[ -n "$commands" ] || { echo "program-help.sh: $name --help lists no commands" >&2; exit 1; }
for command in $commands; do
  if answer=$("$name" "$command" --help 2>&1); then
    # A command whose usage line starts with its kinds ("report list|competence") has a help per kind.
    kinds=$(sed -n "s/^Uso: $name $command \([a-z][a-z-]*\(|[a-z][a-z-]*\)\{1,\}\).*/\1/p" <<< "$answer" | tr '|' ' ')
    if [ -z "$kinds" ]; then
      command_section "$command"
      actions=$(sed -n '/^\(Acciones\|Actions\):$/,/^$/s/^  \([a-z][a-z-]*\)  .*/\1/p' <<< "$answer")
      for action in $actions; do
        command_section "$command" "$action"
      done
      continue
    fi
  else
    kinds=$(grep -o '[a-z][a-z-]*\(, [a-z][a-z-]*\)\+' <<< "$answer" | tail -n 1 | tr -d ,)
  fi
  # The page still lists the command with its summary; the build says what is missing.
  [ -n "$kinds" ] || { echo "program-help.sh: no options of $name $command on the page: $answer" >&2; continue; }
  for kind in $kinds; do
    command_section "$command" "$kind"
  done
done
