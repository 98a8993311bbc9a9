#!/usr/bin/env bash
# The language server through a real client: Neovim, headless, with the
# set-up shipped in editors/nvim, on a game made by `new`. A typo typed into
# the buffer (never saved) comes back as a diagnostic at its line with the
# keyword meant; completion after "SEPlay" offers the game's sound aliases;
# go to definition on a texture alias lands on its Texture command in the
# opening script, and on a goto's script in that script's source.
set -euo pipefail
BUILD_DIR=$1
SOURCE_DIR=$2
command -v nvim >/dev/null || { echo "nvim not installed; skipping"; exit 0; }
TOOL="$BUILD_DIR/vantorel-script"
WORK=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] && echo "kept $WORK" || rm -rf "$WORK"' EXIT
cd "$WORK"
export XDG_CONFIG_HOME="$WORK/cfg" XDG_DATA_HOME="$WORK/data" XDG_STATE_HOME="$WORK/state" XDG_CACHE_HOME="$WORK/cache"
fail() { echo "FAIL: $*" >&2; [ -f result.txt ] && cat result.txt >&2; exit 1; }

"$TOOL" new game >/dev/null || fail "new"
S="$WORK/game/scripts/本編/はじまり.txt"
W="$WORK/game/scripts/本編/待つ.txt"
cp "$S" saved.txt

cat > test.lua <<LUA
local out = assert(io.open('$WORK/result.txt', 'w'))
local function say(s) out:write(s .. '\n'); out:flush() end
local function finish(code) out:close(); vim.cmd((code == 0 and 'qall!') or 'cquit! ' .. code) end
local ok, err = pcall(function()
  vim.opt.runtimepath:append('$SOURCE_DIR/editors/nvim')
  package.path = '$SOURCE_DIR/editors/nvim/lua/?.lua;' .. package.path
  require('vantorel').setup({ cmd = { '$TOOL', 'lsp' } })
  vim.cmd('edit $S')
  local buf = vim.api.nvim_get_current_buf()
  assert(vim.bo[buf].filetype == 'vantorel', 'filetype ' .. vim.bo[buf].filetype)
  assert(vim.wait(10000, function() return #vim.lsp.buf_get_clients(buf) > 0 end), 'no client attached')
  local client = vim.lsp.buf_get_clients(buf)[next(vim.lsp.buf_get_clients(buf))]
  assert(vim.wait(10000, function() return client.initialized end), 'client not initialized')

  -- A typo typed, not saved.
  local lines = vim.api.nvim_buf_get_lines(buf, 0, -1, false)
  local se
  for i, l in ipairs(lines) do if l:find('^SEPlay ') then se = i - 1 end end
  vim.api.nvim_buf_set_lines(buf, se, se + 1, false, { 'SEPaly 足音' })
  local found
  assert(vim.wait(10000, function()
    for _, d in ipairs(vim.diagnostic.get(buf)) do
      if d.message:find('did you mean SEPlay', 1, true) then found = d return true end
    end
  end), 'no diagnostic for the typo')
  say('diagnostic ' .. found.lnum .. ':' .. found.col .. ' ' .. found.message)
  say('typo line ' .. se)

  -- Completion after SEPlay on a new line.
  vim.api.nvim_buf_set_lines(buf, se, se + 1, false, { 'SEPlay ' })
  local uri = vim.uri_from_bufnr(buf)
  local r = client.request_sync('textDocument/completion',
    { textDocument = { uri = uri }, position = { line = se, character = 7 } }, 10000, buf)
  assert(r and r.result, 'no completion answer')
  local items = r.result.items or r.result
  local labels = {}
  for _, it in ipairs(items) do table.insert(labels, it.label) end
  table.sort(labels)
  say('completion ' .. table.concat(labels, ' '))

  -- Definition of the texture alias on the line "Left 立ち陽菜".
  local left
  for i, l in ipairs(vim.api.nvim_buf_get_lines(buf, 0, -1, false)) do if l == 'Left 立ち陽菜' then left = i - 1 end end
  r = client.request_sync('textDocument/definition',
    { textDocument = { uri = uri }, position = { line = left, character = 6 } }, 10000, buf)
  assert(r and r.result and r.result[1], 'no definition')
  local loc = r.result[1]
  say('definition ' .. vim.uri_to_fname(loc.uri) .. ' ' .. loc.range.start.line .. ':' .. loc.range.start.character)

  -- Definition of a script named by a menu item.
  local item
  for i, l in ipairs(vim.api.nvim_buf_get_lines(buf, 0, -1, false)) do
    local at = l:find('本編\\\\待つ', 1, true)
    if at then item = { i - 1, vim.str_utfindex(l, at) + 1 } end
  end
  r = client.request_sync('textDocument/definition',
    { textDocument = { uri = uri }, position = { line = item[1], character = item[2] } }, 10000, buf)
  assert(r and r.result and r.result[1], 'no definition of the script')
  say('script ' .. vim.uri_to_fname(r.result[1].uri))
  local hover = client.request_sync('textDocument/hover',
    { textDocument = { uri = uri }, position = { line = left, character = 1 } }, 10000, buf)
  say('hover ' .. (hover.result.contents.value:match('^[^\n]*') or ''))
end)
if not ok then say('error ' .. tostring(err)) finish(1) else finish(0) end
LUA
rc=0
timeout 60 nvim --headless --clean -i NONE -c "luafile test.lua" >nvim.log 2>&1 || rc=$?
[ "$rc" = 0 ] || fail "nvim ended with status $rc: $(cat nvim.log)"
line=$(grep -n -m1 '^SEPlay 足音' "$S" | cut -d: -f1)
grep -qxF "typo line $((line - 1))" result.txt || fail "typo not at the line edited"
grep -qE "^diagnostic $((line - 1)):0 \"SEPaly\" is no keyword: .*did you mean SEPlay\?$" result.txt || fail "diagnostic"
grep -qxF "completion きらめき 足音 鳴き声" result.txt || fail "completion of sound aliases"
tline=$(grep -n -m1 '^Texture 立ち陽菜 ' game/scripts/オープニング/オープニング1.txt | cut -d: -f1)
grep -qxF "definition $WORK/game/scripts/オープニング/オープニング1.txt $((tline - 1)):8" result.txt || fail "definition of the alias"
grep -qxF "script $W" result.txt || fail "definition of the script"
grep -qxF 'hover ### `Left` or `left`' result.txt || fail "hover"
cmp -s "$S" saved.txt || fail "the file on disk changed"
echo "lsp neovim: ok"
