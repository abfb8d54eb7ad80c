# bash completion for wander-world: its commands, then each command's options and its one world
# file. Installed as share/bash-completion/completions/wander-world; to try it from the source
# tree: source completion/wander-world.bash

_wander_world() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    mapfile -t COMPREPLY < <(compgen -W 'check map --help --version' -- "$cur")
    return
  fi
  case ${COMP_WORDS[1]} in
    check | map) ;;
    *) return ;;
  esac

  # The words between the command and the one being completed: after "--" every word is a file,
  # and a command takes one file only.
  local i word options_done=false files=0
  for ((i = 2; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if ! $options_done && [[ $word == -- ]]; then
      options_done=true
    elif $options_done || [[ $word != -* || $word == - ]]; then
      files=$((files + 1))
    fi
  done
  if ! $options_done && [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W '--help --' -- "$cur")
    return
  fi
  ((files == 0)) || return
  compopt -o filenames 2> /dev/null
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -F _wander_world wander-world
