# Builds the help topic pages from their sources in help/topics/. A source
# holds only the page's own part: a first line "<!-- section: NAME -->" naming
# the group of the contents page it belongs to, then the page from its
# "<h1>TITLE</h1>" to its last paragraph. This script adds the HTML head
# (title from the <h1>), the navigation line above the heading and the
# "Back to the contents" foot that every topic page carries.
#   cmake -DSRC_DIR=<help/topics> -DOUT_DIR=<dir> -P wrap-topics.cmake
if(NOT SRC_DIR OR NOT OUT_DIR)
  message(FATAL_ERROR "wrap-topics.cmake: SRC_DIR and OUT_DIR are required")
endif()
file(GLOB pages RELATIVE ${SRC_DIR} ${SRC_DIR}/*.html)
file(MAKE_DIRECTORY ${OUT_DIR})
set(head_open "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\" \"http://www.w3.org/TR/html4/strict.dtd\">
<html>
<head>
<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">
")
set(foot "<hr>
<p style=\"font-size:small\"><a href=\"../contents.html\">Back to the contents</a></p>
</body>
</html>
")
foreach(page IN LISTS pages)
  file(READ ${SRC_DIR}/${page} text)
  string(FIND "${text}" "\n" eol)
  if(eol LESS 0)
    message(FATAL_ERROR "${page}: no section line")
  endif()
  string(SUBSTRING "${text}" 0 ${eol} first)
  math(EXPR rest_at "${eol} + 1")
  string(SUBSTRING "${text}" ${rest_at} -1 rest)
  if(NOT first MATCHES "^<!-- section: (.+) -->$")
    message(FATAL_ERROR "${page}: first line is not <!-- section: NAME -->")
  endif()
  set(section "${CMAKE_MATCH_1}")
  if(NOT rest MATCHES "^<h1>([^\n]+)</h1>\n")
    message(FATAL_ERROR "${page}: second line is not <h1>TITLE</h1>")
  endif()
  set(title "${CMAKE_MATCH_1}")
  set(html "${head_open}<title>${title}</title>
</head>
<body>
<p style=\"font-size:small\"><a href=\"../contents.html\">Contents</a> &nbsp;|&nbsp; ${section}</p>
${rest}${foot}")
  # Rewrite only what changed, so that the resources are not rebuilt needlessly.
  set(out ${OUT_DIR}/${page})
  set(old "")
  if(EXISTS ${out})
    file(READ ${out} old)
  endif()
  if(NOT old STREQUAL html)
    file(WRITE ${out} "${html}")
  endif()
endforeach()
