# bash completion for tavorin-cli

_tavorin_cli() {
    local cur prev words cword split
    _init_completion -s || return

    case $prev in
        --time | --default-time)
            COMPREPLY=($(compgen -W 'winamp standard' -- "$cur"))
            return
            ;;
        --report)
            _filedir
            return
            ;;
        --song-folder)
            _filedir -d
            return
            ;;
        --name)
            return
            ;;
    esac
    $split && return

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--help --help-all --version --new --correct --name= --time=
            --default-time= --song-folder= --same-folder-first --no-same-folder-first
            --prefer-rmp --prefer-mp3 --karaoke --no-karaoke --at-artist --no-at-artist
            --silence --no-silence --ignore-at-tag --no-ignore-at-tag --ignore-own
            --no-ignore-own --dry-run --diff --report= --no-journal --undo --list-runs
            -h -v -n -c' -- "$cur"))
        [[ ${COMPREPLY-} == *= ]] && compopt -o nospace
        return
    fi

    # Lyrics files and the folders that may hold them.
    _filedir '@(txt|lrc|kra)'
} &&
    complete -F _tavorin_cli tavorin-cli
