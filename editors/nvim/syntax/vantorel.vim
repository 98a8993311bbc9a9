" Vim syntax file for Vantorel scene scripts (plain .txt sources).
" Words are separated by white space; a keyword is a whole word.
if exists('b:current_syntax')
  finish
endif

syn match vantorelKeyword "\v(^|\s)@<=(Battle|Map|NextScriptFile|キーコンフィグ|GameEnd|FadeIn|FadeOut|MIDILoad|SELoad|MIDIPlay|SEPlay|TexLoad|TexUnload|SaveMenu|LoadMenu|Save|save|Load|load|FontMenu|ButtonMenu|Texture|texture|goto|string|BG|bg|Right|right|Center|center|WideCenter|Left|left|Clear)(\s|$)@="
syn match vantorelMenuWord "\v(^|\s)@<=(フォーマット|メニューアイテム|\{|\})(\s|$)@="
syn match vantorelVariable "\v(^|\s)@<=\$\S+"
syn match vantorelSpeaker "\v(^|\s)@<=[^ \t：]+：(\s|$)@="
syn match vantorelContinue "\v(^|\s)@<=\.(\s|$)@="
syn region vantorelComment start="\v(^|\s)@<=/\*(\s|$)@=" end="\v(^|\s)@<=\*/(\s|$)@=" contains=@Spell

hi def link vantorelKeyword Keyword
hi def link vantorelMenuWord Structure
hi def link vantorelVariable Identifier
hi def link vantorelSpeaker Type
hi def link vantorelContinue Special
hi def link vantorelComment Comment

let b:current_syntax = 'vantorel'
