# One interface target that carries the compile rules every target of the project follows.
add_library(sarn_flags INTERFACE)
target_compile_options(sarn_flags INTERFACE -Wall -Wextra -Wpedantic -Werror)
target_compile_definitions(sarn_flags INTERFACE
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_DISABLE_DEPRECATED_BEFORE=0x060400
    QT_USE_QSTRINGBUILDER)
if(SARN_SANITIZE)
    target_compile_options(sarn_flags INTERFACE -fsanitize=address,undefined -fno-sanitize-recover=undefined
                                                -fno-omit-frame-pointer)
    target_link_options(sarn_flags INTERFACE -fsanitize=address,undefined)
endif()
# Sources include each other by folder: "platform/CodePage.h", "service/SoapClient.h" ...
target_include_directories(sarn_flags INTERFACE ${PROJECT_SOURCE_DIR})
