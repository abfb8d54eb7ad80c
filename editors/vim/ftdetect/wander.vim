" Worlds of wander: World.txt, the file the game reads, and worlds kept under other names
" (*.world). World.txt would otherwise be plain text, so the file type is set, not offered.
autocmd BufNewFile,BufRead World.txt,*.world set filetype=wander
