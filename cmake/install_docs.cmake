# Run at install time (cmake/packaging.cmake): installs the README and docs/*.md into the
# documentation folder, laid out as in the sources (README.md at its top, docs/ beside it), with
# their links to files that are installed elsewhere rewritten to where those files are: the
# sample world's map and the schema of check's JSON output, in the data folder. Every other file
# they link to is installed beside them under its own path (cmake/packaging.cmake), so that
# every link resolves in the installed tree, moved as a whole or not.
#
# Given: wander_source_dir, wander_doc_dir and wander_data_dir (relative to the prefix),
# wander_scratch (a folder of the build's).

# Source path -> path relative to the prefix, for the files installed elsewhere than their
# documentation's folder.
set(moved examples/map.svg "${wander_data_dir}/map.svg"
          tools/diagnostics/diagnostics.schema.json "${wander_data_dir}/diagnostics.schema.json")

file(GLOB documents RELATIVE "${wander_source_dir}" "${wander_source_dir}/docs/*.md")
foreach(document README.md ${documents})
  file(READ "${wander_source_dir}/${document}" text)
  get_filename_component(folder "${document}" DIRECTORY)
  set(pairs ${moved})
  while(pairs)
    list(POP_FRONT pairs source installed)
    # A prefix of its own stands for any: only the paths relative to it matter.
    get_filename_component(here "/prefix/${wander_doc_dir}/${folder}" ABSOLUTE)
    get_filename_component(there "/prefix/${installed}" ABSOLUTE)
    file(RELATIVE_PATH from "/prefix/${folder}" "/prefix/${source}")
    file(RELATIVE_PATH to "${here}" "${there}")
    string(REPLACE "](${from})" "](${to})" text "${text}")
    string(REPLACE "src=\"${from}\"" "src=\"${to}\"" text "${text}")
  endwhile()
  file(WRITE "${wander_scratch}/doc/${document}" "${text}")
  # file(INSTALL) puts DESTDIR in front and lists the file in install_manifest.txt.
  file(INSTALL "${wander_scratch}/doc/${document}"
       DESTINATION "${CMAKE_INSTALL_PREFIX}/${wander_doc_dir}/${folder}")
endforeach()
