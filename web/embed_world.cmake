# Writes the world file IN as the script OUT that the page reads its world from: world.js, the
# file's name and its bytes as hexadecimal digits (see page.js; `wander-world publish` writes the same form).
#   cmake -DIN=World.txt -DOUT=world.js -P embed_world.cmake
# CALL names another function to call than wanderWorld (the studio's sample world).
if(NOT CALL)
  set(CALL wanderWorld)
endif()
file(READ "${IN}" hex HEX)
get_filename_component(name "${IN}" NAME)
file(WRITE "${OUT}" "${CALL}(\"${name}\", \"${hex}\");\n")
