# Writes the manual page of tarnwell-cli from its --help text, and a gzipped copy beside it.
#
#   cmake -DCLI=path/to/tarnwell-cli -DOUT=tarnwell-cli.1 -DVERSION=x.y.z -P makeman.cmake
#
# The help text is "usage: ..." followed by "commands:" and one entry per command: two spaces,
# the command's syntax, two or more spaces, its description; a line indented further continues
# the entry above it.

execute_process(COMMAND "${CLI}" --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR help STREQUAL "")
  message(FATAL_ERROR "${CLI} --help failed (${status})")
endif()

# roff: a backslash is written "\e", a minus "\-", a line must not start with "." or "'"
function(roff_text out text)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

string(REPLACE ";" "\\;" help "${help}")
string(REPLACE "\n" ";" lines "${help}")
set(synopsis "")
set(entries "")
set(syntax "")
set(description "")
macro(flush_entry)
  if(NOT syntax STREQUAL "")
    string(STRIP "${syntax}" syntax)
    string(STRIP "${description}" description)
    roff_text(syntax "${syntax}")
    roff_text(description "${description}")
    string(APPEND entries ".TP\n.B ${syntax}\n${description}\n")
  endif()
  set(syntax "")
  set(description "")
endmacro()

foreach(line IN LISTS lines)
  if(line MATCHES "^usage: *(.*)$")
    roff_text(synopsis "${CMAKE_MATCH_1}")
  elseif(line MATCHES "^commands:")
  elseif(line MATCHES "^  ([^ ].*)$")
    flush_entry()
    set(rest "${CMAKE_MATCH_1}")
    if(rest MATCHES "^(.*[^ ])   *([^ ].*)$")
      set(syntax "${CMAKE_MATCH_1}")
      set(description "${CMAKE_MATCH_2}")
    else()
      set(syntax "${rest}")
    endif()
  elseif(line MATCHES "^   +([^ ].*)$")
    set(rest "${CMAKE_MATCH_1}")
    if(rest MATCHES "^(.*[^ ])   *([^ ].*)$")
      string(APPEND syntax " ${CMAKE_MATCH_1}")
      string(APPEND description " ${CMAKE_MATCH_2}")
    elseif(description STREQUAL "")
      string(APPEND syntax " ${rest}")
    else()
      string(APPEND description " ${rest}")
    endif()
  endif()
endforeach()
flush_entry()

if(synopsis STREQUAL "" OR entries STREQUAL "")
  message(FATAL_ERROR "the help text of ${CLI} has no usage line or no commands")
endif()

file(WRITE "${OUT}"
".TH TARNWELL\\-CLI 1 \"\" \"Tarnwell ${VERSION}\" \"User Commands\"
.SH NAME
tarnwell\\-cli \\- check, convert and calculate HCM data files without the window
.SH SYNOPSIS
${synopsis}
.SH DESCRIPTION
.B tarnwell\\-cli
checks and normalises HCM Fixed Service files, runs FS calculations into report files and reads
them, and checks, converts and validates HCM Mobile Service files, as the Tarnwell program does.
.SH COMMANDS
${entries}.SH EXIT STATUS
0 when the command succeeded and found no error, 2 for a command line it does not understand,
another value otherwise.
")

execute_process(COMMAND gzip -9 -n -c "${OUT}" OUTPUT_FILE "${OUT}.gz" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip failed (${status})")
endif()
