# The HTTP client on libcurl, and the Qt dialog that answers an authentication request.
target_sources(sarn_platform PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/HttpCurl.cpp)
target_link_libraries(sarn_platform PRIVATE CURL::libcurl)
target_sources(sarn_platform_gui PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/QtCredentialsPrompt.cpp)
