# One place for the compile policy of every target of ours.
add_library(quor_policy INTERFACE)
target_compile_features(quor_policy INTERFACE cxx_std_20)
target_compile_options(quor_policy INTERFACE
    -Wall -Wextra -pedantic -Wnon-virtual-dtor -Woverloaded-virtual -Werror)
target_compile_definitions(quor_policy INTERFACE
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QUOR_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
    QUOR_VERSION_MINOR=${PROJECT_VERSION_MINOR}
    QUOR_VERSION_PATCH=${PROJECT_VERSION_PATCH}
    QUOR_VERSION_TWEAK=${PROJECT_VERSION_TWEAK})
