# Writes OUT: the worker's script, SERVER (Emscripten's output) then TAIL (what runs it), as the
# body of the function wanderStudioWorker, with the program's VERSION.
file(READ ${SERVER} server)
file(READ ${TAIL} tail)
string(REPLACE "%VERSION%" "${VERSION}" tail "${tail}")
file(WRITE ${OUT} "function wanderStudioWorker() {\n${server}\n${tail}\n}\n")
