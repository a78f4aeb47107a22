# fish completion for tessival-cli. Commands come from `tessival-cli help`, types and qualities
# from `tessival-cli types` and `tessival-cli qualities TYPE` at the moment of completion.

function __tessival_cli_commands
    tessival-cli help 2>/dev/null | string match -r '^  ([a-z]+)' | string match -r '^[a-z]+$'
end

function __tessival_cli_qualities
    set -l type (commandline -opc | string match -r -- '^--dest-type=(.*)$' | tail -n 1)
    tessival-cli qualities "$type" 2>/dev/null | tail -n +2 | tr \t ,
end

complete -c tessival-cli -f
complete -c tessival-cli -n __fish_use_subcommand -a '(__tessival_cli_commands)'
complete -c tessival-cli -n __fish_use_subcommand -l version -d 'print the version'
complete -c tessival-cli -l help -s h -d 'print the usage'

complete -c tessival-cli -n '__fish_seen_subcommand_from convert show add' -k -a '(__fish_complete_suffix .tsl)'
complete -c tessival-cli -n '__fish_seen_subcommand_from add graph loudness' -F
complete -c tessival-cli -n '__fish_seen_subcommand_from add' -l dest-type -x -a '(tessival-cli types 2>/dev/null)'
complete -c tessival-cli -n '__fish_seen_subcommand_from add' -l dest-path -x -a '(__fish_complete_directories)'
complete -c tessival-cli -n '__fish_seen_subcommand_from add' -l quality -x -a '(__tessival_cli_qualities)'
complete -c tessival-cli -n '__fish_seen_subcommand_from add' -l cd -d 'a CD drive or a disc image'
complete -c tessival-cli -n '__fish_seen_subcommand_from add' -l capture -x -d 'DEVICE[:LINE]'
complete -c tessival-cli -n '__fish_seen_subcommand_from convert' -l on-bad-quality -x -a 'default skip'
complete -c tessival-cli -n '__fish_seen_subcommand_from convert' -l progress -x -a 'json none'
complete -c tessival-cli -n '__fish_seen_subcommand_from convert' -l jobs -x -d 'workers, 0 for one per core'
complete -c tessival-cli -n '__fish_seen_subcommand_from convert' -l shard -x -d 'I/N'
complete -c tessival-cli -n '__fish_seen_subcommand_from convert' -l stop-after -x -d 'seconds'
complete -c tessival-cli -n '__fish_seen_subcommand_from show' -l json -d 'one JSON object an item'
complete -c tessival-cli -n '__fish_seen_subcommand_from qualities' -x -a '(tessival-cli types 2>/dev/null)'
