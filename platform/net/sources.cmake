# Blocking sockets, stop signals and the account's home directory for code that runs no Qt loop
# (the reference service, the loopback test server), so that it includes no system header.
target_sources(sarn_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/NetError.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SocketAddress.cpp
    ${CMAKE_CURRENT_LIST_DIR}/BlockingUdpSocket.cpp
    ${CMAKE_CURRENT_LIST_DIR}/Tcp.cpp
    ${CMAKE_CURRENT_LIST_DIR}/StopSignals.cpp
    ${CMAKE_CURRENT_LIST_DIR}/HomeDirectory.cpp)
