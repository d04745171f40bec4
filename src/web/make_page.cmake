# make_page.cmake - writes the self-contained page: page.html with the
# compiled show's script in place of its marker line.
#
#   cmake -DTEMPLATE=page.html -DSCRIPT=vexa.js -DOUT=vexa.html -P make_page.cmake
#
# "</script" inside the script would end the script element early; it is
# written as "<\/script", which means the same inside JavaScript strings.
file(READ ${TEMPLATE} page)
file(READ ${SCRIPT} script)
string(REPLACE "</script" "<\\/script" script "${script}")
string(FIND "${page}" "@VEXA_PAGE_SCRIPT@" at)
if(at LESS 0)
  message(FATAL_ERROR "${TEMPLATE}: no @VEXA_PAGE_SCRIPT@ marker")
endif()
string(SUBSTRING "${page}" 0 ${at} head)
math(EXPR after "${at} + 18")
string(SUBSTRING "${page}" ${after} -1 tail)
file(WRITE ${OUT} "${head}")
file(APPEND ${OUT} "${script}")
file(APPEND ${OUT} "${tail}")
