# The login window's pictures, drawn by scripts/make-login-resources.sh. The window looks them
# up by name (":/login/<name>.bmp"); the background JPEG is decoded by platform/image.
qt_add_resources(sarn_resources "login"
    PREFIX "/login"
    BASE ${CMAKE_CURRENT_LIST_DIR}
    FILES
        ${CMAKE_CURRENT_LIST_DIR}/background.jpg
        ${CMAKE_CURRENT_LIST_DIR}/btnLogin.bmp
        ${CMAKE_CURRENT_LIST_DIR}/btnReg.bmp
        ${CMAKE_CURRENT_LIST_DIR}/closeLeaveBmp.bmp
        ${CMAKE_CURRENT_LIST_DIR}/closeBmp.bmp
        ${CMAKE_CURRENT_LIST_DIR}/minLeaveBmp.bmp
        ${CMAKE_CURRENT_LIST_DIR}/minBmp.bmp)
