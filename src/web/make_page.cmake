# make_page.cmake - writes the self-contained page: page.html with each
# marker line replaced by the text of a script.
#
#   cmake -DTEMPLATE=page.html -DSCRIPTS="@VEXA_PAGE_SCRIPT@=vexa.js|..." -DOUT=vexa.html -P make_page.cmake
#
# "</script" inside a script would end the script element early; it is
# written as "<\/script", which means the same inside JavaScript strings.
file(READ ${TEMPLATE} page)
string(REPLACE "|" ";" SCRIPTS "${SCRIPTS}")
foreach(pair IN LISTS SCRIPTS)
  string(FIND "${pair}" "=" equals)
  string(SUBSTRING "${pair}" 0 ${equals} marker)
  math(EXPR after "${equals} + 1")
  string(SUBSTRING "${pair}" ${after} -1 script_file)
  string(FIND "${page}" "${marker}" at)
  if(at LESS 0)
    message(FATAL_ERROR "${TEMPLATE}: no ${marker} marker")
  endif()
  file(READ ${script_file} script)
  string(REPLACE "</script" "<\\/script" script "${script}")
  string(SUBSTRING "${page}" 0 ${at} head)
  string(LENGTH "${marker}" marker_length)
  math(EXPR after "${at} + ${marker_length}")
  string(SUBSTRING "${page}" ${after} -1 tail)
  set(page "${head}${script}${tail}")
endforeach()
file(WRITE ${OUT} "${page}")
