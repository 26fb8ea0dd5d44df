# bash completion for kantel-cli: the commands, each command's options, and
# the files and folders each argument takes (.bnm banks where a bank goes).

_kantel_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="demo header resources events check extract save import replace export diff"
    local common="--quiet --verbose --help --version"

    # The command is the first word that is not an option.
    local command="" i
    local -a positional=()
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            -o | --output | --resource) ((i++)) ;;
            -*) ;;
            *)
                if [[ -z $command ]]; then
                    command=${words[i]}
                else
                    positional+=("${words[i]}")
                fi
                ;;
        esac
    done

    case $prev in
        -o | --output)
            _filedir '@(bnm|BNM)'
            return
            ;;
        --resource)
            return
            ;;
    esac

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "$common --help-all" -- "$cur")
        else
            mapfile -t COMPREPLY < <(compgen -W "$commands" -- "$cur")
        fi
        return
    fi

    local options=""
    case $command in
        header | resources | events) options="--json --records" ;;
        check | diff) options="--json" ;;
        save) options="-o --output --all-external --all-banked" ;;
        import) options="--keep-rate --match-loudness -o --output" ;;
        replace) options="--dry-run --keep-rate --match-loudness -o --output --json" ;;
        export) options="--resource --force" ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options $common" -- "$cur")
        return
    fi

    # What the next argument of the command is.
    local n=${#positional[@]}
    case $command in
        demo)
            ((n == 0)) && _filedir -d
            ;;
        header | resources | events | check)
            if ((n == 0)); then
                _filedir '@(bnm|BNM)'
                # A lone - reads the bank from standard input.
                [[ -z $cur || $cur == - ]] && COMPREPLY+=(-)
            fi
            ;;
        extract | save)
            ((n == 0)) && _filedir '@(bnm|BNM)'
            ;;
        import)
            case $n in
                0) _filedir '@(bnm|BNM)' ;;
                1) ;; # a table index or a resource name
                2) _filedir ;;
            esac
            ;;
        replace)
            case $n in
                0) _filedir '@(bnm|BNM)' ;;
                1) _filedir -d ;;
            esac
            ;;
        export)
            case $n in
                0) _filedir '@(bnm|BNM)' ;;
                1) _filedir -d ;;
            esac
            ;;
        diff)
            ((n < 2)) && _filedir '@(bnm|BNM)'
            ;;
    esac
} && complete -F _kantel_cli kantel-cli
