-- Neovim's own LSP client on wander-world's server, as an author meets it: a copy of the sample
-- world with slips made in it is opened, its diagnostics come, a go-to-definition from an exit
-- lands on the room's marker line, and a rename of a room changes every place that names it.
-- Run by nvim_test.sh; ends Neovim with status 1 when a check fails.
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

vim.o.hidden = true -- a changed world stays open when another is edited
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

-- Go to definition from the exit north of the jetty: the marker line of the path.
vim.api.nvim_win_set_cursor(0, { 11, 9 }) -- "North: Path", on its 'a'
vim.lsp.buf.definition()
check(wait_for(function() return vim.api.nvim_win_get_cursor(0)[1] ~= 11 end),
  'go to definition never moved the cursor')
same(vim.api.nvim_win_get_cursor(0), { 39, 0 }, 'the cursor after going to Path')
same(vim.api.nvim_get_current_line(), '<Path>', 'the line gone to')

-- A name the server refuses leaves the world as it was.
local before = vim.api.nvim_buf_get_lines(buffer, 0, -1, false)
vim.api.nvim_win_set_cursor(0, { 11, 9 })
local position = vim.lsp.util.make_position_params()
position.newName = 'None'
local answers = vim.lsp.buf_request_sync(buffer, 'textDocument/rename', position, 5000) or {}
local _, answer = next(answers)
check(answer and answer.error and answer.error.code == -32803
  and answer.error.message:find('no exit', 1, true),
  'renaming Path to None was not refused: ' .. vim.inspect(answer))
same(vim.api.nvim_buf_get_lines(buffer, 0, -1, false), before, 'the world after a refused rename')

-- Rename the starting room from the header, through the client's own command. The label of
-- the cove's east exit holds a letter that UTF-8 and UTF-16 count differently, before the name.
vim.api.nvim_win_set_cursor(0, { 1, 8 }) -- "Start: Jetty", on its 'e'
vim.lsp.buf.rename('Landing')
check(wait_for(function() return vim.api.nvim_buf_get_lines(buffer, 0, 1, false)[1] ~= 'Start: Jetty' end),
  'the rename never changed the header')
local renamed = {}
for number, line in ipairs(vim.api.nvim_buf_get_lines(buffer, 0, -1, false)) do
  if line ~= before[number] then
    table.insert(renamed, { number, line })
  end
end
same(renamed, {
  { 1, 'Start: Landing' },
  { 6, '<Landing>' },
  { 23, 'Ëast: Landing' },
  { 36, 'West: Landing' },
  { 45, 'South: Landing' },
  { 118, '<Landing|rope>' },
  { 120, '<Landing|bollard>' },
}, 'the lines the rename changed')
same(#vim.api.nvim_buf_get_lines(buffer, 0, -1, false), #before, 'the number of lines after the rename')

-- The server checks the renamed world again: the same two slips, where they were.
check(wait_for(function()
  local codes = {}
  for _, d in ipairs(vim.diagnostic.get(buffer)) do
    codes[#codes + 1] = d.code .. '@' .. (d.lnum + 1)
  end
  table.sort(codes)
  return vim.deep_equal(codes, { 'missing-block@56', 'text-runs-on@119' })
end), 'the renamed world does not have the same two diagnostics')

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
