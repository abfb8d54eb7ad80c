" Vim syntax for worlds of wander, read as the game reads them: a block starts at its marker
" line (<Room> or <Room|object>); a description or an object's text runs to the next `*`,
" across any line; then a room has four label and exit words, a label and a count, and that
" many objects (three at most), words read across line ends. The first two words of the file
" are a label and the starting room. Words the game never reads are shown as comments.
if exists('b:current_syntax')
  finish
endif

" The chain from one word to the next may cross blank lines.
let s:next = 'skipwhite skipnl skipempty'
" A line that is a marker, where whatever is being read ends.
let s:marker = '<\S\+>$'

" The header: a label, then the room where play starts (unless the file opens with a block).
" (Vim matches a syntax item line by line: the header is looked for on the first line alone.)
execute 'syn match wanderStartLabel /\%1l^\s*\%(' . s:marker . '\)\@!\zs\S\+/ nextgroup=wanderStartRoom ' . s:next
execute 'syn match wanderStartRoom /\S\+/ contained nextgroup=wanderNotes ' . s:next
execute 'syn region wanderNotes start=/\%(^' . s:marker . '\)\@!\S/ end=/^\ze' . s:marker . '/ contained'

" Marker lines, and the text each one's block starts with, up to its star: one item that may
" span many lines, or the star alone.
syn match wanderRoomMarker /^<[^[:space:]|<>]\+>$/ contains=wanderBracket,wanderMarkerRoom
      \ nextgroup=wanderDescription,wanderDescriptionEnd skipnl
syn match wanderObjectMarker /^<[^[:space:]|<>]\+|[^[:space:]|<>]\+>$/
      \ contains=wanderBracket,wanderBar,wanderMarkerRoom,wanderMarkerObject
      \ nextgroup=wanderObjectText,wanderObjectTextEnd skipnl
syn match wanderBracket /[<>]/ contained
syn match wanderBar /|/ contained
syn match wanderMarkerRoom /\%(^<\)\@<=[^|<>]\+/ contained
syn match wanderMarkerObject /\%(|\)\@<=[^|<>]\+/ contained
syn match wanderDescription /\_[^*]\+/ contained nextgroup=wanderDescriptionEnd
execute 'syn match wanderDescriptionEnd /\*/ contained nextgroup=wanderNorthLabel ' . s:next
syn match wanderObjectText /\_[^*]\+/ contained nextgroup=wanderObjectTextEnd
execute 'syn match wanderObjectTextEnd /\*/ contained nextgroup=wanderNotes ' . s:next

" The four exits, in order: a label, then a room or None. Of items starting at one place the
" last defined wins, so None is defined after any other room.
let s:after = {'North': 'East', 'East': 'South', 'South': 'West', 'West': 'Objects'}
for s:direction in ['North', 'East', 'South', 'West']
  let s:then = 'nextgroup=wander' . s:after[s:direction] . 'Label ' . s:next
  execute 'syn match wander' . s:direction . 'Label /\S\+/ contained nextgroup=wander'
        \ . s:direction . 'Exit,wander' . s:direction . 'None ' . s:next
  execute 'syn match wander' . s:direction . 'Exit /\S\+/ contained ' . s:then
  execute 'syn match wander' . s:direction . 'None /None\%(\S\)\@!/ contained ' . s:then
endfor

" The count, and as many objects as the game reads for it; a count that is no number reads none.
execute 'syn match wanderObjectsLabel /\S\+/ contained '
      \ . 'nextgroup=wanderCountUnreadable,wanderCountNone,wanderCountOne,wanderCountTwo,'
      \ . 'wanderCountThree ' . s:next
execute 'syn match wanderCountUnreadable /\S\+/ contained nextgroup=wanderNotes ' . s:next
execute 'syn match wanderCountNone /[+-]\=0\+\d\@!\|-0*[1-9]\d*/ contained nextgroup=wanderNotes ' . s:next
execute 'syn match wanderCountOne /+\=0*1\d\@!/ contained nextgroup=wanderLastObject ' . s:next
execute 'syn match wanderCountTwo /+\=0*2\d\@!/ contained nextgroup=wanderObjectThenLast ' . s:next
execute 'syn match wanderCountThree /+\=0*\%([3-9]\|[1-9]\d\+\)\d\@!/ contained '
      \ . 'nextgroup=wanderObjectThenTwo ' . s:next
execute 'syn match wanderObjectThenTwo /\S\+/ contained nextgroup=wanderObjectThenLast ' . s:next
execute 'syn match wanderObjectThenLast /\S\+/ contained nextgroup=wanderLastObject ' . s:next
execute 'syn match wanderLastObject /\S\+/ contained nextgroup=wanderNotes ' . s:next

" A block is a few dozen lines: parsing from far enough back finds the marker it is in.
syn sync minlines=200

hi def link wanderStartLabel Keyword
hi def link wanderStartRoom Type
hi def link wanderNotes Comment
hi def link wanderBracket Delimiter
hi def link wanderBar Delimiter
hi def link wanderMarkerRoom Type
hi def link wanderMarkerObject Identifier
hi def link wanderDescription String
hi def link wanderObjectText String
hi def link wanderDescriptionEnd Delimiter
hi def link wanderObjectTextEnd Delimiter
for s:direction in ['North', 'East', 'South', 'West']
  execute 'hi def link wander' . s:direction . 'Label Keyword'
  execute 'hi def link wander' . s:direction . 'Exit Type'
  execute 'hi def link wander' . s:direction . 'None Constant'
endfor
hi def link wanderObjectsLabel Keyword
hi def link wanderCountUnreadable Error
hi def link wanderCountNone Number
hi def link wanderCountOne Number
hi def link wanderCountTwo Number
hi def link wanderCountThree Number
hi def link wanderObjectThenTwo Identifier
hi def link wanderObjectThenLast Identifier
hi def link wanderLastObject Identifier

let b:current_syntax = 'wander'
