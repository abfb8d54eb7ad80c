-- The Vim syntax in Neovim, held to the cases of editors/highlighting_cases.txt that the VS Code
-- grammar is held to: each scope stands for the highlight group the syntax links to. Run by
-- nvim_test.sh; ends Neovim with status 1 when a row fails.
--   WANDER_TOP  the top of the repository
local top = assert(os.getenv('WANDER_TOP'), 'WANDER_TOP must name the top of the repository')
vim.g.wander_lsp = false -- colours alone: no server for these buffers

-- Scopes by their start, and the group each is shown in.
local groups = {
  { 'entity.name.type.room.', 'Type' },
  { 'variable.other.object.', 'Identifier' },
  { 'keyword.other.label.', 'Keyword' },
  { 'constant.language.none.', 'Constant' },
  { 'constant.numeric.count.', 'Number' },
  { 'invalid.illegal.count.', 'Error' },
  { 'string.unquoted.', 'String' },
  { 'punctuation.', 'Delimiter' },
  { 'comment.block.notes.', 'Comment' },
}

local function group_of(scope)
  for _, pair in ipairs(groups) do
    if scope:sub(1, #pair[1]) == pair[1] then return pair[2] end
  end
  error('no highlight group stands for the scope ' .. scope)
end

local function read_cases(file)
  local cases, number = {}, 0
  for text in io.lines(file) do
    number = number + 1
    local at = 'highlighting_cases.txt:' .. number
    if text == '' or text:sub(1, 1) == '#' then
      -- a comment
    elseif text:sub(1, 5) == 'case ' then
      table.insert(cases, { name = text:sub(6), lines = nil, rows = {} })
    else
      local case = assert(cases[#cases], at .. ': a row before the first case')
      if text:sub(1, 5) == 'file ' then
        case.lines = vim.fn.readfile(top .. '/' .. text:sub(6))
      elseif text == '|' or text:sub(1, 2) == '| ' then
        case.lines = case.lines or {}
        table.insert(case.lines, text:sub(3))
      else
        local line, rest, scope = text:match('^(%d+) (.*) (%S+)$')
        assert(line, at .. ': not a row: ' .. text)
        local token = rest:match('^"(.*)"$')
        table.insert(case.rows, { at = at, line = tonumber(line), token = token, every = rest, scope = scope })
      end
    end
  end
  return cases
end

-- The group that the syntax item at a byte of the current buffer (line and column from 1) is
-- linked to: Keyword, not the Statement a colour scheme may show it as.
local function shown_at(line, column)
  local item = vim.fn.synIDattr(vim.fn.synID(line, column, 1), 'name')
  if item == '' then return 'nothing' end
  return vim.fn.execute('highlight ' .. item):match('links to (%w+)') or item
end

local failures, checked = {}, 0

-- Every byte of `text`, found at `from` on `line`, but blanks, is shown in `want`.
local function check_bytes(row, text, from, want)
  for i = 1, #text do
    if not text:sub(i, i):match('%s') then
      local got = shown_at(row.line, from + i - 1)
      checked = checked + 1
      if got ~= want then
        table.insert(failures, string.format('%s: line %d, column %d (%q in %q): shown as %q, not %q',
          row.at, row.line, from + i - 1, text:sub(i, i), text, got, want))
        return
      end
    end
  end
end

for _, case in ipairs(read_cases(top .. '/editors/highlighting_cases.txt')) do
  vim.cmd('enew!')
  vim.api.nvim_buf_set_lines(0, 0, -1, false, case.lines)
  vim.bo.filetype = 'wander'
  local searched = {}
  for _, row in ipairs(case.rows) do
    local text = case.lines[row.line]
    if row.every == 'whole' then
      -- a meta scope: Vim has no such thing
    elseif row.every == '*' then
      check_bytes(row, text, 1, group_of(row.scope))
    else
      local from = text:find(row.token, searched[row.line] or 1, true)
      if not from then
        table.insert(failures, string.format('%s: no %q on line %d', row.at, row.token, row.line))
      else
        check_bytes(row, row.token, from, group_of(row.scope))
        searched[row.line] = from + #row.token
      end
    end
  end
end

if #failures > 0 or checked == 0 then
  io.stdout:write(table.concat(failures, '\n') .. '\n')
  io.stdout:write(string.format('syntax: %d of the bytes checked are shown wrong\n', #failures))
  vim.cmd('cquit 1')
end
io.stdout:write(string.format('syntax: all %d bytes checked are shown as the cases say\n', checked))
vim.cmd('qall!')
