# Sourced by run.sh: sf_make_demo_workspace DIR fills DIR/d and DIR/e (drives D: and E:)
# with a few game-server copies, each holding Mir200\!Setup.txt and some files, and a
# folder of changed files ready to be synced. An existing workspace is left as it is,
# so that what a previous run copied and backed up can still be looked at.
sf_make_demo_workspace() {
  local ws=$1
  [ -f "$ws/.ready" ] && return 0
  rm -rf "$ws"
  mkdir -p "$ws/d" "$ws/e"

  local server
  for server in "$ws/d/MirServer" "$ws/d/版本库/一区传奇" "$ws/d/版本库/二区传奇" "$ws/e/Games/MirServerB"; do
    mkdir -p "$server/Mir200/Envir/QuestDiary" "$server/Mir200/Envir/Market_Def" "$server/DBServer" "$server/LoginSrv"
    printf '[Server]\r\nServerName=%s\r\nGameName=传奇\r\n' "$(basename "$server")" > "$server/Mir200/!Setup.txt"
    printf '[@main]\r\n#SAY\r\n欢迎来到本服!\\ \r\n' > "$server/Mir200/Envir/QuestDiary/欢迎.txt"
    printf '[@main]\r\n#SAY\r\n商店\\ \r\n' > "$server/Mir200/Envir/Market_Def/Shop-0.txt"
    printf 'MaxUser=1000\r\n' > "$server/Mir200/Config.ini"
    printf 'DBName=HeroDB\r\n' > "$server/DBServer/Dbsrc.ini"
    printf 'Port=7000\r\n' > "$server/LoginSrv/Logsrv.ini"
  done
  # A recycle bin with a copy inside is never offered as a version directory.
  mkdir -p "$ws/d/\$RECYCLE.BIN/Old/Mir200"
  : > "$ws/d/\$RECYCLE.BIN/Old/Mir200/!Setup.txt"

  # Files an operator has changed and wants in every copy.
  local upd="$ws/d/更新文件/Mir200"
  mkdir -p "$upd/Envir/QuestDiary" "$upd/Envir/Market_Def"
  printf '[@main]\r\n#SAY\r\n欢迎来到本服! 新版活动已开启.\\ \r\n' > "$upd/Envir/QuestDiary/欢迎.txt"
  printf '[@main]\r\n#SAY\r\n新商店\\ \r\n' > "$upd/Envir/Market_Def/Shop-0.txt"
  printf 'MaxUser=2000\r\n' > "$upd/Config.ini"
  touch "$ws/.ready"
}
