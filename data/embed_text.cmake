# cmake -P embed_text.cmake -DINPUT=file -DOUTPUT=header -DNAME=identifier
# Writes a header that holds the input file's text as one string constant.
file(READ ${INPUT} text)
file(WRITE ${OUTPUT} "#pragma once\n\n// Generated from ${INPUT}; do not edit.\ninline constexpr const char* ${NAME} = R\"embedded_text(${text})embedded_text\";\n")
