# The JPEG decoder calls libjpeg directly and hands back a QImage, hence the GUI library.
target_sources(sarn_platform_gui PRIVATE ${CMAKE_CURRENT_LIST_DIR}/JpegDecoder.cpp)
target_link_libraries(sarn_platform_gui PRIVATE JPEG::JPEG)
