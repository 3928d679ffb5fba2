# cmake -DIN=staged.reg -DOUT=classes.reg -DFROM=staged-server-folder -DTO=relative-folder -P
# Rewrites the server paths (and folders) of a registry written from the staged servers into
# paths relative to the installed registry's folder.
file(READ ${IN} _text)
file(REAL_PATH ${FROM} _from)
string(REPLACE "\"${_from}/" "\"${TO}/" _text "${_text}")
# The type libraries' help folder is the servers' folder itself.
string(REPLACE "\"${_from}\"" "\"${TO}\"" _text "${_text}")
if(_text MATCHES "\"/")
  message(FATAL_ERROR "${IN} still names a server by an absolute path")
endif()
file(WRITE ${OUT} "${_text}")
