# bash completion for wander-world: its commands, then each command's options (with check's
# colours and formats, and the kinds of warning that the program itself lists) and operands (the world file; for publish, the world file and the folder
# to publish into; for replay, case files and folders). Installed as
# share/bash-completion/completions/wander-world; to try it from the source tree:
#   source completion/wander-world.bash

_wander_world() {
  local cur=${COMP_WORDS[COMP_CWORD]}
  COMPREPLY=()
  if ((COMP_CWORD == 1)); then
    mapfile -t COMPREPLY < <(compgen -W 'check map publish record replay lsp --help --version' \
      -- "$cur")
    return
  fi
  local options='--help --' most_operands=1
  case ${COMP_WORDS[1]} in
    check)
      options='--help --color --color=auto --color=always --color=never --format --format=text'
      options+=' --format=json --format=sarif -Werror --fix --'
      options+=' --list-kinds'
      # The kinds of warning that -Wno- leaves out (errors cannot be), as the program lists them.
      local kind severity
      while read -r kind severity _; do
        [[ $severity == warning ]] && options+=" -Wno-$kind"
      done < <("${COMP_WORDS[0]}" check --list-kinds 2> /dev/null)
      ;;
    map | record) ;;
    lsp)
      options='--help --stdio'
      most_operands=0
      ;;
    publish)
      options='--help --title --byline --page --'
      most_operands=2
      ;;
    replay)
      options='--help --update --'
      most_operands=-1
      ;;
    *) return ;;
  esac

  # bash splits --color=WHEN into three words, "--color", "=" and WHEN, as '=' breaks words;
  # and so --format=FORMAT, whose FORMAT may also be the word after --format. An option named
  # after "--" is a file.
  if [[ ${COMP_WORDS[1]} == check ]]; then
    local option_at=$((COMP_CWORD - 1)) values= j
    [[ ${COMP_WORDS[option_at]} == = ]] && option_at=$((option_at - 1))
    case ${COMP_WORDS[option_at]} in
      --color) values='auto always never' ;;
      --format) values='text json sarif' ;;
    esac
    for ((j = 2; j < option_at; j++)); do
      [[ ${COMP_WORDS[j]} == -- ]] && values=
    done
    # --color takes its value after '=' only: "--color WORD" is a file.
    if [[ -n $values && $cur == = && option_at -eq COMP_CWORD-1 ]]; then
      mapfile -t COMPREPLY < <(compgen -W "$values")
      return
    fi
    if [[ -n $values && (option_at -eq COMP_CWORD-2 || ${COMP_WORDS[option_at]} == --format) ]]; then
      mapfile -t COMPREPLY < <(compgen -W "$values" -- "$cur")
      return
    fi
  fi

  # The words between the command and the one being completed: after "--" every word is an
  # operand, the word after --page is its folder, the word after --title or --byline a text of
  # the author's, "=" WHEN belong to the --color before, and "=" FORMAT or FORMAT to the --format
  # before.
  local i word options_done=false operands=0 skip=0 after_page=false after_text=false
  for ((i = 2; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    after_page=false after_text=false
    if ((skip > 0)); then
      skip=$((skip - 1))
    elif ! $options_done && [[ $word == -- ]]; then
      options_done=true
    elif ! $options_done && [[ $word == --page ]]; then
      skip=1
      after_page=true
    elif ! $options_done && [[ $word == --title || $word == --byline ]]; then
      skip=1
      after_text=true
    elif ! $options_done && [[ $word == --color && ${COMP_WORDS[i + 1]:-} == = ]]; then
      skip=2
    elif ! $options_done && [[ $word == --format ]]; then
      skip=1
      [[ ${COMP_WORDS[i + 1]:-} == = ]] && skip=2
    elif $options_done || [[ $word != -* || $word == - ]]; then
      operands=$((operands + 1))
    fi
  done
  $after_text && return
  if $after_page; then
    compopt -o filenames 2> /dev/null
    mapfile -t COMPREPLY < <(compgen -d -- "$cur")
    return
  fi
  if ! $options_done && [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
    return
  fi
  ((most_operands < 0 || operands < most_operands)) || return
  compopt -o filenames 2> /dev/null
  if [[ ${COMP_WORDS[1]} == replay ]]; then
    # Case files, and the folders that may hold them.
    mapfile -t COMPREPLY < <({ compgen -d -- "$cur"; compgen -f -X '!*.case' -- "$cur"; } | sort -u)
    return
  fi
  mapfile -t COMPREPLY < <(compgen -f -- "$cur")
}
complete -F _wander_world wander-world
