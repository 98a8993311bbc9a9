-- Neovim set-up for Vantorel scene scripts: the plain .txt scripts of a game
-- (a file below a directory holding GameData) get the filetype "vantorel",
-- its highlighting, and the language server `vantorel-script lsp`.
--
--   require('vantorel').setup()                      -- vantorel-script on PATH
--   require('vantorel').setup({ game = 'build/game' }) -- sources kept apart from the game
--
-- Works with Neovim 0.7 and later (it uses only the client API 0.7 has).
local M = {}

local clients = {} -- root directory -> client id

local function is_dir(path)
  local stat = vim.loop.fs_stat(path)
  return stat ~= nil and stat.type == 'directory'
end

-- The nearest directory above `dir` that holds GameData, or nil.
function M.find_game(dir)
  while dir and dir ~= '' do
    if is_dir(dir .. '/GameData') then
      return dir
    end
    local parent = vim.fn.fnamemodify(dir, ':h')
    if parent == dir then
      return nil
    end
    dir = parent
  end
  return nil
end

-- Starts the server for `game` once and attaches buffer `buf` to it.
function M.attach(buf, opts, game)
  local root = vim.fn.fnamemodify(game, ':p')
  local id = clients[root]
  if id == nil or vim.lsp.get_client_by_id(id) == nil then
    local cmd = vim.deepcopy(opts.cmd or { 'vantorel-script', 'lsp' })
    table.insert(cmd, '--game')
    table.insert(cmd, root)
    if opts.source then
      table.insert(cmd, '--source')
      table.insert(cmd, vim.fn.fnamemodify(opts.source, ':p'))
    end
    id = vim.lsp.start_client({ name = 'vantorel-script', cmd = cmd, root_dir = root })
    clients[root] = id
  end
  if id then
    vim.lsp.buf_attach_client(buf, id)
  end
  return id
end

-- opts.cmd: the server's command (default { 'vantorel-script', 'lsp' });
-- opts.game: the game directory, where the sources are not below it;
-- opts.source: the plain scripts' directory (default: what the last build noted).
function M.setup(opts)
  opts = opts or {}
  local group = vim.api.nvim_create_augroup('vantorel', { clear = true })
  vim.api.nvim_create_autocmd({ 'BufReadPost', 'BufNewFile' }, {
    group = group,
    pattern = '*.txt',
    callback = function(args)
      local path = vim.api.nvim_buf_get_name(args.buf)
      local dir = vim.fn.fnamemodify(path, ':p:h')
      local game = opts.game or M.find_game(dir)
      if game == nil then
        return
      end
      if opts.source and vim.fn.fnamemodify(path, ':p'):find(vim.fn.fnamemodify(opts.source, ':p'), 1, true) ~= 1 then
        return
      end
      vim.bo[args.buf].filetype = 'vantorel'
      vim.bo[args.buf].commentstring = '/* %s */'
      M.attach(args.buf, opts, game)
    end,
  })
end

return M
