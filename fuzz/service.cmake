xiyingxia_fuzzer(fuzz_soap_request fuzz_soap_request.cpp ${PROJECT_SOURCE_DIR}/service/soap.cpp)
target_include_directories(fuzz_soap_request PRIVATE ${PROJECT_SOURCE_DIR}/service)
