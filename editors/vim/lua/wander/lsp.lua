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

--- What setup() may change: `cmd`, the server's command line (the program may be a path).
M.config = { cmd = { 'wander-world', 'lsp' } }

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
