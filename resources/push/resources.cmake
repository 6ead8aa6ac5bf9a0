# The notification popup's pictures and its chime, made by scripts/make-popup-resources.py.
qt_add_resources(sarn_resources "push"
    PREFIX "/push"
    BASE ${CMAKE_CURRENT_LIST_DIR}
    FILES
        ${CMAKE_CURRENT_LIST_DIR}/background.bmp
        ${CMAKE_CURRENT_LIST_DIR}/panel.bmp
        ${CMAKE_CURRENT_LIST_DIR}/close.bmp
        ${CMAKE_CURRENT_LIST_DIR}/emblem.bmp
        ${CMAKE_CURRENT_LIST_DIR}/popupSound.wav)
