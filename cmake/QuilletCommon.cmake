# One INTERFACE target that carries the language level, the warnings and the Qt strictness
# defines for every target of the project.
add_library(quillet_common INTERFACE)
target_compile_features(quillet_common INTERFACE cxx_std_20)
target_compile_options(quillet_common INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
target_compile_definitions(quillet_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_KEYWORDS)

option(QUILLET_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(QUILLET_SANITIZE)
    set(_san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_compile_options(quillet_common INTERFACE ${_san})
    target_link_options(quillet_common INTERFACE ${_san})
endif()
