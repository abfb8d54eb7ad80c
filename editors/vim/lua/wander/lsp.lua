-- wander worlds in Neovim: `wander-world lsp`, the language server of worlds, started for
-- buffers of file type wander (World.txt, *.world). One client serves every world of a folder:
-- the folder of the file, or the current folder for a buffer without a file.
--
-- Neovim 0.7 has no one-call start; this does what Neovim 0.8 and later do with
--
--   vim.lsp.start({ name = 'wander-world', cmd = { 'wander-world', 'lsp' },
--                   root_dir = vim.fs.dirname(vim.api.nvim_buf_get_name(0)) })
--
-- which reuses a running client of the same name and folder, as start() below does.
local M = {}

--- What setup() may change: `cmd`, the server's command line (the program may be a path);
--- `keys`, false to leave the keys of a world's buffer as they are.
M.config = { cmd = { 'wander-world', 'lsp' }, keys = true }

-- The client id serving each folder, while it runs.
local clients = {}
local warned = false

--- Takes the settings in `options` (a table like M.config) over the ones before.
function M.setup(options)
  M.config = vim.tbl_extend('force', M.config, options or {})
end

local function folder_of(buffer)
  local name = vim.api.nvim_buf_get_name(buffer)
  if name == '' then
    return vim.loop.cwd()
  end
  return vim.fn.fnamemodify(name, ':p:h')
end

-- The keys an author expects of a language server, for the buffer only: Neovim 0.7 maps none of
-- them, and K would open a man page.
local function map_keys(_, buffer)
  if not M.config.keys then
    return
  end
  local keys = {
    { 'gd', vim.lsp.buf.definition, 'Go to the block of the name under the cursor' },
    { 'K', vim.lsp.buf.hover, 'Show what the name under the cursor is' },
    { '<leader>rn', vim.lsp.buf.rename, 'Rename the room or object everywhere' },
    { '<leader>ca', vim.lsp.buf.code_action, 'Mend the slip under the cursor' },
    { ']d', vim.diagnostic.goto_next, 'Go to the next problem' },
    { '[d', vim.diagnostic.goto_prev, 'Go to the problem before' },
  }
  for _, key in ipairs(keys) do
    vim.keymap.set('n', key[1], key[2], { buffer = buffer, silent = true, desc = key[3] })
  end
  vim.bo[buffer].omnifunc = 'v:lua.vim.lsp.omnifunc'
end

-- What Neovim's client can do, less what it cannot show: its float leaves out a diagnostic's
-- related information, so the server is told there is none and puts its notes in the message.
local function capabilities()
  local c = vim.lsp.protocol.make_client_capabilities()
  c.textDocument.publishDiagnostics = c.textDocument.publishDiagnostics or {}
  c.textDocument.publishDiagnostics.relatedInformation = false
  return c
end

local function running(id)
  local client = id and vim.lsp.get_client_by_id(id)
  return client ~= nil and not client.is_stopped()
end

--- Attaches `buffer` (0 or nil: the current one) to the client of its folder, started when
--- none runs. Returns the client's id, or nil when the program cannot be run: then it says so
--- once, and the world is only coloured.
function M.start(buffer)
  if buffer == nil or buffer == 0 then
    buffer = vim.api.nvim_get_current_buf()
  end
  if vim.fn.executable(M.config.cmd[1]) == 0 then
    if not warned then
      warned = true
      vim.notify(
        string.format("wander: cannot run '%s': worlds are not checked. Install wander, or give "
          .. "the program's path: require('wander.lsp').setup({ cmd = { PATH, 'lsp' } })",
          M.config.cmd[1]),
        vim.log.levels.WARN)
    end
    return nil
  end
  local folder = folder_of(buffer)
  local id = clients[folder]
  if not running(id) then
    id = vim.lsp.start_client({
      name = 'wander-world',
      cmd = M.config.cmd,
      root_dir = folder,
      capabilities = capabilities(),
      on_attach = map_keys,
      on_exit = function(_, _, exited)
        if clients[folder] == exited then
          clients[folder] = nil
        end
      end,
    })
    clients[folder] = id
  end
  if id then
    vim.lsp.buf_attach_client(buffer, id)
  end
  return id
end

return M
