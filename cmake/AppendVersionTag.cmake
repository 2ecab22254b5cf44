# Appends the engine's version tag to FILE: "VER:<VERSION>:<BUILD>;" written backwards, so that
# a reader starting at the last byte meets "VER" first and the fields in reading order after it.
if(NOT FILE OR NOT VERSION OR NOT BUILD)
  message(FATAL_ERROR "AppendVersionTag: FILE, VERSION and BUILD are required")
endif()
set(forward "VER:${VERSION}:${BUILD};")
string(LENGTH "${forward}" len)
set(reversed "")
math(EXPR last "${len} - 1")
foreach(i RANGE ${last})
  string(SUBSTRING "${forward}" ${i} 1 ch)
  string(PREPEND reversed "${ch}")
endforeach()
file(APPEND "${FILE}" "${reversed}")
