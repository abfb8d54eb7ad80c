-- Neovim's own LSP client on wander-world's server, as an author meets it: a copy of the sample
-- world with slips made in it is opened as a wander world and its diagnostics come; one client
-- serves the worlds of a folder. What the server answers to each request is held to
-- tools/lsp/lsp_test.txt. Run by nvim_test.sh; ends Neovim with status 1 when a check fails.
--   WANDER_WORLD       the wander-world program
--   WANDER_TEST_WORLD  the slipped world (nvim_test.sh says what its slips are)
local program = assert(os.getenv('WANDER_WORLD'), 'WANDER_WORLD must name wander-world')
local world = assert(os.getenv('WANDER_TEST_WORLD'), 'WANDER_TEST_WORLD must name a world')

local failures, checks = {}, 0
local function check(ok, what)
  checks = checks + 1
  if not ok then
    table.insert(failures, what)
  end
  return ok
end
local function same(got, want, what)
  return check(vim.deep_equal(got, want),
    string.format('%s:\n  got  %s\n  want %s', what, vim.inspect(got), vim.inspect(want)))
end
local function finish()
  for _, failure in ipairs(failures) do
    io.stdout:write('FAIL ', failure, '\n')
  end
  io.stdout:write(string.format('lsp: %d of %d checks failed\n', #failures, checks))
  vim.cmd(#failures == 0 and 'qall!' or 'cquit 1')
end
-- Waits for `condition`, up to 10 s; false when it never held.
local function wait_for(condition)
  return vim.wait(10000, condition, 20)
end

require('wander.lsp').setup({ cmd = { program, 'lsp' } })
vim.cmd('edit ' .. vim.fn.fnameescape(world))
same(vim.bo.filetype, 'wander', 'the file type of World.txt')
local buffer = vim.api.nvim_get_current_buf()
check(wait_for(function() return #vim.lsp.buf_get_clients(buffer) == 1 end),
  'the buffer was never attached to a client')

-- The slips, and nothing else: the misspelt exit of the yard, and the rope's text left open.
check(wait_for(function() return #vim.diagnostic.get(buffer) >= 2 end), 'no diagnostics came')
local found = {}
for _, d in ipairs(vim.diagnostic.get(buffer)) do
  table.insert(found, { line = d.lnum + 1, column = d.col + 1, code = d.code, severity = d.severity })
end
table.sort(found, function(a, b) return a.line < b.line end)
local error = vim.diagnostic.severity.ERROR
same(found, {
  { line = 56, column = 7, code = 'missing-block', severity = error },
  { line = 119, column = 84, code = 'text-runs-on', severity = error },
}, 'the diagnostics of the slipped world')

-- Neovim's float shows no related information, so the notes come in the message.
local yard = vim.tbl_filter(function(d) return d.lnum == 55 end, vim.diagnostic.get(buffer))[1]
check(yard ~= nil and yard.message:find("\nline 84: room 'Pantry' cannot be reached", 1, true),
  'the notes are not in the message: ' .. vim.inspect(yard and yard.message))

-- The buffer's own keys: the next problem, then the block of the exit under the cursor.
vim.api.nvim_win_set_cursor(0, { 1, 0 })
vim.cmd('normal ]d')
same(vim.api.nvim_win_get_cursor(0), { 56, 6 }, 'the cursor after ]d')
vim.api.nvim_win_set_cursor(0, { 55, 8 })
vim.cmd('normal gd')
check(wait_for(function() return vim.api.nvim_get_current_line() == '<Tower>' end),
  'gd on an exit did not go to its block')
check(vim.fn.maparg('K', 'n', false, true).buffer == 1, 'K is not the buffer\'s')

-- One client serves the worlds of a folder; a world elsewhere has one of its own.
local folder = vim.fn.fnamemodify(world, ':p:h')
local first = vim.lsp.buf_get_clients(buffer)[1].id
vim.cmd('edit ' .. vim.fn.fnameescape(folder .. '/Second.world'))
same(vim.bo.filetype, 'wander', 'the file type of a .world file')
same(vim.tbl_keys(vim.lsp.buf_get_clients(0)), { first }, 'the client of a second world beside the first')
vim.cmd('edit ' .. vim.fn.fnameescape(folder .. '/elsewhere/World.txt'))
-- A client is the buffer's once the server has answered `initialize`.
wait_for(function() return #vim.lsp.buf_get_clients(0) > 0 end)
local other = vim.tbl_keys(vim.lsp.buf_get_clients(0))
check(#other == 1 and other[1] ~= first, 'a world in another folder has no client of its own: '
  .. vim.inspect(other))
same(#vim.lsp.get_active_clients(), 2, 'the clients running')

finish()
