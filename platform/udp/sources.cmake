target_sources(sarn_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/UdpServer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HostResolver.cpp)
target_link_libraries(sarn_platform PUBLIC Threads::Threads)
