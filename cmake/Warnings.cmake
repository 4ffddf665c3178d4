# Warnings are errors for the project's own code; third-party headers come in as system includes.
function(sonarvex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
                         -Wold-style-cast -Wcast-align -Woverloaded-virtual -Wnull-dereference
                         -Wimplicit-fallthrough -Werror)
endfunction()

# Qt switches that make every QString/byte-string crossing explicit.
function(sonarvex_qt_defines target)
  target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII
                             QT_NO_CAST_TO_ASCII QT_USE_QSTRINGBUILDER QT_NO_CAST_FROM_BYTEARRAY)
endfunction()
