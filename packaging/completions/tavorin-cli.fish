# fish completion for tavorin-cli

# Lyrics files and folders for the paths; nothing else.
function __tavorin_cli_lyrics_paths
    set -l token (commandline -ct)
    for path in $token*
        if test -d $path
            echo $path/
        else if string match -qir '\.(txt|lrc|kra)$' -- $path
            echo $path
        end
    end
end
complete -c tavorin-cli -f
complete -c tavorin-cli -n 'not string match -q -- "-*" (commandline -ct)' \
    -a '(__tavorin_cli_lyrics_paths)'

complete -c tavorin-cli -s h -l help -d 'Print a summary of the options'
complete -c tavorin-cli -l help-all -d 'Print the options together with those of Qt'
complete -c tavorin-cli -s v -l version -d 'Print the version'
complete -c tavorin-cli -s n -l new -d 'New-Tag Mode'
complete -c tavorin-cli -s c -l correct -d 'Correction Mode'
complete -c tavorin-cli -l name -x -d 'Your name, written as @TaggingBy or @EditedBy'
complete -c tavorin-cli -l time -x -a 'winamp standard' -d 'Time type of the tags, or to convert to'
complete -c tavorin-cli -l default-time -x -a 'winamp standard' -d 'Time type of lyrics without At-Tags'
complete -c tavorin-cli -l song-folder -x -a '(__fish_complete_directories)' -d 'Also search this folder for songs'
complete -c tavorin-cli -l same-folder-first -d 'Look beside the lyrics file first'
complete -c tavorin-cli -l no-same-folder-first -d 'Look in the Song Folder first'
complete -c tavorin-cli -l prefer-rmp -d 'Take a same-named .rmp before the .mp3'
complete -c tavorin-cli -l prefer-mp3 -d 'Take a same-named .mp3 before the .rmp'
complete -c tavorin-cli -l karaoke -d 'Repair Tag Reversals'
complete -c tavorin-cli -l no-karaoke -d 'Leave Tag Reversals alone'
complete -c tavorin-cli -l at-artist -d 'Take title, artist and album from the song'
complete -c tavorin-cli -l no-at-artist -d "Keep the lyrics file's title, artist and album"
complete -c tavorin-cli -l silence -d 'Correct for leading silence'
complete -c tavorin-cli -l no-silence -d 'Do not shift for leading silence'
complete -c tavorin-cli -l ignore-at-tag -d 'Skip files that already carry timing At-Tags'
complete -c tavorin-cli -l no-ignore-at-tag -d 'Replace their timing At-Tags'
complete -c tavorin-cli -l ignore-own -d 'Skip files already fitted under your name'
complete -c tavorin-cli -l no-ignore-own -d 'Correct them again'
complete -c tavorin-cli -l dry-run -d 'Do everything but write'
complete -c tavorin-cli -l diff -d 'Print a unified diff of the changes'
complete -c tavorin-cli -l report -r -F -d 'Also write a JSON report of the run'
complete -c tavorin-cli -l no-journal -d 'Keep no copy for undo'
complete -c tavorin-cli -l undo -d 'Put back the files of a run'
complete -c tavorin-cli -l list-runs -d 'List the runs that can be undone'
