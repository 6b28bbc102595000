# bash completion for glowdeck-cli
_glowdeck_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="new add-group add list clean compile inspect render send ports ball set-source set-text
        set-interval set-threshold set-dither"
    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    local command=${words[1]}
    case $prev in
        --root)
            _filedir -d
            return
            ;;
        --ball)
            COMPREPLY=($(compgen -W "1 2" -- "$cur"))
            return
            ;;
        --layer)
            COMPREPLY=($(compgen -W "inner outer" -- "$cur"))
            return
            ;;
        --png)
            _filedir png
            return
            ;;
        --view)
            COMPREPLY=($(compgen -W "strip ball" -- "$cur"))
            return
            ;;
        --inner)
            _filedir bin
            return
            ;;
        --out | --link)
            _filedir
            return
            ;;
        --port)
            COMPREPLY=($(compgen -W "$(compgen -G '/dev/ttyUSB*' 2>/dev/null; compgen -G '/dev/ttyACM*' 2>/dev/null)" -- "$cur"))
            return
            ;;
        --color | --background)
            COMPREPLY=($(compgen -W "black red green yellow blue magenta cyan white" -- "$cur"))
            return
            ;;
        --font | --size | --style | --offsets | --length | --wait | --frames | --group | --turn-seconds | --columns-per-turn)
            return
            ;;
    esac

    local options=""
    case $command in
        new) options="--root" ;;
        compile) options="--ball --layer --no-cache" ;;
        inspect) options="--png --ball --layer" ;;
        render) options="--out --view --group --ball --layer --size --turn-seconds --columns-per-turn --inner" ;;
        send) options="--factory --port --ball --layer" ;;
        ball) options="--out --link --wait" ;;
        set-text) options="--font --size --style --color --background --manual-spacing --offsets" ;;
        set-interval) options="--length --background" ;;
        set-source) options="--frames" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options --help" -- "$cur"))
        return
    fi

    # The first argument after the command: a project folder, or a data file.
    case $command in
        add-group | add | list | clean | compile | set-source | set-text | set-interval | set-threshold | set-dither)
            if [[ $cword -eq 2 ]]; then
                _filedir -d
                return
            fi
            ;;
    esac
    case $command in
        add)
            if [[ $cword -eq 4 ]]; then
                COMPREPLY=($(compgen -W "picture animation text interval" -- "$cur"))
                return
            fi
            ;;
        set-source)
            if [[ $cword -eq 5 ]]; then
                _filedir '@(bmp|BMP|jpg|JPG|jpeg|JPEG|gif|GIF)'
                return
            fi
            ;;
        render)
            _filedir
            return
            ;;
        inspect | send)
            _filedir bin
            return
            ;;
    esac
} && complete -F _glowdeck_cli glowdeck-cli
