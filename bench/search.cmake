add_executable(xiyingxia-gen-reply gen_reply.cpp)
xiyingxia_warnings(xiyingxia-gen-reply)
target_link_libraries(xiyingxia-gen-reply PRIVATE xiyingxia_core)

xiyingxia_bench(bench_search search_bench.cpp)
