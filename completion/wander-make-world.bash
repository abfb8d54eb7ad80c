# bash completion for wander-make-world: its options and their values; the size, a number, is
# the author's to type. Installed as share/bash-completion/completions/wander-make-world; to try
# it from the source tree:
#   source completion/wander-make-world.bash

_wander_make_world() {
  local cur=${COMP_WORDS[COMP_CWORD]} values
  COMPREPLY=()
  case ${COMP_WORDS[COMP_CWORD - 1]} in
    --start) values='first middle last' ;;
    --names) values='padded plain words' ;;
    --objects) values='0 1 2 3' ;;
    --description) return ;;
    *) [[ $cur == -* ]] && values='--start --names --description --objects --help' ;;
  esac
  [[ -n ${values:-} ]] && mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
}
complete -F _wander_make_world wander-make-world
