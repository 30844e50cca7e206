# Installs an engine plug-in into the program's installed plug-in folder, where an installed
# copy of the program looks for it: quor_install_engine(<module target>).
function(quor_install_engine target)
    install(TARGETS ${target} LIBRARY DESTINATION ${QUOR_ENGINE_INSTALL_DIR})
endfunction()
