;;; emacs_test.el --- Emacs and eglot on wander-world's server, as an author meets them -*- lexical-binding: t -*-
;; Run by emacs_test.sh on WANDER_TEST_WORLD, the sample world with the yard's east exit misspelt.
;; The server's copy is seen only as an author sees it: flymake's list, hovers, a rename's result.
(require 'package)
(add-to-list 'package-directory-list "/usr/share/emacs/site-lisp/elpa") ; Debian's elpa-eglot
(package-initialize)
(require 'eglot)
(require 'wander-mode)

(defvar failures 0)
(defun check (what got want)
  (unless (equal got want)
    (setq failures (1+ failures))
    (message "FAIL %s:\n  got  %S\n  want %S" what got want)))
(defun wait-for (condition)
  "Sends the changes eglot holds, then waits up to 10 s for CONDITION."
  (eglot--signal-textDocument/didChange)
  (let ((end (+ (float-time) 10)))
    (while (and (not (funcall condition)) (< (float-time) end))
      (accept-process-output nil 0.05))))
(defun seen ()
  "Flymake's list, once what the server sent has come: each diagnostic's line and text."
  (sleep-for 0.3)
  (mapcar (lambda (d) (cons (line-number-at-pos (flymake-diagnostic-beg d))
                            (flymake-diagnostic-text d)))
          (flymake-diagnostics)))
(defun go (line column) (goto-char (point-min)) (forward-line (1- line)) (forward-char column))
(defun hover (line column)
  "The first line of the hover at LINE (from 1) and COLUMN (from 0)."
  (go line column)
  (eglot--signal-textDocument/didChange)
  (car (split-string (plist-get (plist-get (jsonrpc-request (eglot--current-server-or-lose)
                                                            :textDocument/hover
                                                            (eglot--TextDocumentPositionParams))
                                           :contents)
                                :value)
                     "\n")))

(add-hook 'wander-mode-hook #'eglot-ensure)
(find-file (getenv "WANDER_TEST_WORLD"))
(run-hooks 'post-command-hook)
(check "the mode of World.txt" major-mode 'wander-mode)
;; The slip, with its notes: eglot declares that it cannot show them apart.
(wait-for #'flymake-diagnostics)
(check "flymake's list" (seen)
       '((56 . "wander-world [missing-block]: room 'Yard': the east exit leads to room 'Cotage', \
which has no block: the game keeps the player in 'Yard'; did you mean 'Cottage'?
line 73: room 'Cottage' cannot be reached from the starting room 'Jetty'
line 84: room 'Pantry' cannot be reached from the starting room 'Jetty'")))
;; From the cove's east exit to the name in Jetty's marker line.
(go 23 8)
(call-interactively #'xref-find-definitions)
(check "where a definition lands" (list (line-number-at-pos) (current-column)) '(6 1))
;; The quick fix of the slip.
(go 56 8)
(let ((actions (eglot-code-actions (point) (point))))
  (check "the code actions" (mapcar (lambda (a) (plist-get a :title)) actions)
         '("Replace 'Cotage' with 'Cottage'"))
  (eglot--apply-workspace-edit (plist-get (car actions) :edit)))
(check "the exit fixed" (hover 56 8) "room 'Cottage'")
(check "flymake's list once fixed" (seen) nil)
;; A marker line's brackets are no part of the name at point, which eglot's rename prompt reads.
(go 118 3)
(check "the name at point in a marker line" (thing-at-point 'symbol t) "Jetty")
;; replace-string makes eglot send changes that miscount; the save's text heals the server's copy.
(goto-char (point-min))
(replace-string "jetty" "Pier")
(save-buffer)
(check "a hover after replace-string and a save" (hover 1 8) "room 'Pier'")
(go 1 8)
(eglot-rename "Dock")
(check "the names renamed, the prose left" (mapcar (lambda (re) (how-many re (point-min)))
                                                  '("^<Dock>$" "^<Dock|rope>$" ": Pier$\\|^<Pier"))
       '(1 1 0))
(check "a hover after the rename" (hover 1 8) "room 'Dock'")
(check "flymake's list after the rename" (seen) nil)
(eglot-shutdown (eglot--current-server-or-lose))
(message "emacs: %d checks failed" failures)
(kill-emacs (if (= failures 0) 0 1))
