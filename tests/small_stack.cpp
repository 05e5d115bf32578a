#include "small_stack.h"

#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

namespace testing_support {
namespace {

#ifdef _WIN32
DWORD WINAPI Run(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return 0;
}
#else
void* Run(void* work) {
    (*static_cast<const std::function<void()>*>(work))();
    return nullptr;
}
#endif

}  // namespace

void RunOnSmallStack(const std::function<void()>& work) {
    auto* argument = const_cast<std::function<void()>*>(&work);
#ifdef _WIN32
    HANDLE thread = CreateThread(nullptr, kSmallStackBytes, Run, argument,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    if (thread == nullptr) throw std::runtime_error("CreateThread failed");
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
#else
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, kSmallStackBytes);
    pthread_t thread;
    const int failed = pthread_create(&thread, &attributes, Run, argument);
    pthread_attr_destroy(&attributes);
    if (failed != 0) throw std::runtime_error("pthread_create failed");
    pthread_join(thread, nullptr);
#endif
}

}  // namespace testing_support
