target_sources(sarn_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/WaveFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PulseSoundPlayer.cpp)
target_link_libraries(sarn_platform PRIVATE PkgConfig::PULSE_SIMPLE)
