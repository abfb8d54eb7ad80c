-- Neovim: a world is checked as it is typed by wander-world's language server. Set
-- vim.g.wander_lsp = false (let g:wander_lsp = 0) before a world is opened to go without it.
if vim.g.wander_lsp == false or vim.g.wander_lsp == 0 then
  return
end
require('wander.lsp').start(0)
