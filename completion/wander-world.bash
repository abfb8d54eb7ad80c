# bash completion for wander-world: its commands, then each command's options and operands (the
# world file; for publish, the world file and the folder to publish into). Installed as
# share/bash-completion/completions/wander-world; to try it from the source tree:
#   source completion/wander-world.bash

_wander_world() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    mapfile -t COMPREPLY < <(compgen -W 'check map publish --help --version' -- "$cur")
    return
  fi
  local options='--help --' most_operands=1
  case ${COMP_WORDS[1]} in
    check | map) ;;
    publish)
      options='--help --page --'
      most_operands=2
      ;;
    *) return ;;
  esac

  # The words between the command and the one being completed: after "--" every word is an
  # operand, and the word after --page is its folder.
  local i word options_done=false operands=0 after_page=false
  for ((i = 2; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if $after_page; then
      after_page=false
    elif ! $options_done && [[ $word == -- ]]; then
      options_done=true
    elif ! $options_done && [[ $word == --page ]]; then
      after_page=true
    elif $options_done || [[ $word != -* || $word == - ]]; then
      operands=$((operands + 1))
    fi
  done
  if $after_page; then
    compopt -o filenames 2> /dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
    return
  fi
  if ! $options_done && [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi
  ((operands < most_operands)) || return
  compopt -o filenames 2> /dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -F _wander_world wander-world
