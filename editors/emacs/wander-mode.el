;;; wander-mode.el --- Editing wander worlds, with wander-world's language server -*- lexical-binding: t -*-

;; A major mode for wander's worlds (World.txt, *.world): marker lines, exit labels, "None" and
;; the '*' that ends a block are highlighted. In its syntax table '<', '|' and '>' are
;; punctuation, so that a word, a symbol and eglot's prompts take the name inside a marker line
;; ("Jetty" in "<Jetty|rope>"), not the marker. Eglot, when loaded, starts `wander-world lsp'
;; for it:
;;   (require 'wander-mode)
;;   (add-hook 'wander-mode-hook #'eglot-ensure)

;;; Code:

(defvar wander-mode-syntax-table
  (let ((table (make-syntax-table text-mode-syntax-table)))
    (dolist (c '(?< ?| ?>)) (modify-syntax-entry c "." table))
    ;; Names are single words of any characters: these are part of a name, as letters are.
    (dolist (c '(?_ ?- ?' ?.)) (modify-syntax-entry c "_" table))
    table)
  "Syntax table of `wander-mode': a name is a symbol, its marker's brackets punctuation.")

(defvar wander-font-lock-keywords
  '(("^<[^<>|\n]*\\(?:|[^<>|\n]*\\)?>" . font-lock-function-name-face)
    ("^\\(?:Start\\|North\\|East\\|South\\|West\\|Objects\\):" . font-lock-keyword-face)
    ("\\_<None\\_>" . font-lock-constant-face)
    ("^\\*$" . font-lock-builtin-face))
  "What `wander-mode' highlights: marker lines, labels, \"None\" and the '*' ending a block.")

;;;###autoload
(define-derived-mode wander-mode text-mode "Wander"
  "Major mode for wander's worlds."
  (setq-local font-lock-defaults '(wander-font-lock-keywords t)))

;;;###autoload
(add-to-list 'auto-mode-alist '("/World\\.txt\\'" . wander-mode))
;;;###autoload
(add-to-list 'auto-mode-alist '("\\.world\\'" . wander-mode))

(with-eval-after-load 'eglot
  (add-to-list 'eglot-server-programs '(wander-mode "wander-world" "lsp")))

(provide 'wander-mode)
;;; wander-mode.el ends here
