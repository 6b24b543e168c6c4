// The memory one encode uses, per benchmark workload: the heap it takes
// through operator new (calls, and the most bytes live at once) and the
// deepest stack it reaches.
//
// Heap: every operator new and delete of the program is counted; the figures
// are those of one encode with an encoder that has encoded before (the main
// window keeps its encoder), so the field and coder objects already exist.
// Stack: the encode runs on a thread whose stack is a buffer of our own,
// filled with a pattern beforehand; the bytes from the top down to the lowest
// one that no longer holds the pattern are the stack the encode (and the
// thread's start) touched.

#include <pthread.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "BenchWorkload.h"
#include "clsQRCode.h"

namespace {

std::size_t liveBytes = 0;
std::size_t peakBytes = 0;
std::size_t allocations = 0;

// Each block carries its size in front, so that delete can count it off.
constexpr std::size_t kHeader = alignof(std::max_align_t);

void* Allocate(std::size_t size)
{
    auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (block == nullptr) throw std::bad_alloc();
    std::memcpy(block, &size, sizeof size);
    liveBytes += size;
    if (liveBytes > peakBytes) peakBytes = liveBytes;
    ++allocations;
    return block + kHeader;
}

void Release(void* pointer)
{
    if (pointer == nullptr) return;
    auto* block = static_cast<unsigned char*>(pointer) - kHeader;
    std::size_t size;
    std::memcpy(&size, block, sizeof size);
    liveBytes -= size;
    std::free(block);
}

constexpr std::size_t kStackBytes = 1 << 20;
constexpr unsigned char kPaint = 0xA7;

struct EncodeJob {
    clsQRCode* coder;
    const BenchWorkload* workload;
    bool encoded;
};

void* RunEncode(void* argument)
{
    auto* job = static_cast<EncodeJob*>(argument);
    if (job->coder == nullptr) return nullptr;
    const auto& w = *job->workload;
    job->encoded =
        job->coder
            ->EncodeMatrix(w.bytes.data(), static_cast<int>(w.bytes.size()), w.version, w.level, 0)
            .has_value();
    return nullptr;
}

// Bytes of the painted stack the encode wrote, from its top down.
std::size_t StackUsed(EncodeJob& job)
{
    std::vector<unsigned char> stack(kStackBytes, kPaint);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstack(&attributes, stack.data(), stack.size());
    pthread_t thread;
    if (pthread_create(&thread, &attributes, RunEncode, &job) != 0) return 0;
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    std::size_t untouched = 0;
    while (untouched < stack.size() && stack[untouched] == kPaint) ++untouched;
    return stack.size() - untouched;
}

} // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* pointer) noexcept { Release(pointer); }
void operator delete[](void* pointer) noexcept { Release(pointer); }
void operator delete(void* pointer, std::size_t) noexcept { Release(pointer); }
void operator delete[](void* pointer, std::size_t) noexcept { Release(pointer); }

int main()
{
    const std::vector<BenchWorkload> workloads = MakeBenchWorkloads();
    // What the thread itself takes of its stack (the C library keeps the
    // thread's control block and TLS at its top): a thread that encodes nothing.
    EncodeJob idle{nullptr, nullptr, false};
    const std::size_t threadStack = StackUsed(idle);
    clsQRCode coder;

    std::printf("\nMemory of one encode (heap through operator new, with the encoder held from "
                "an earlier encode; stack painted, less the %zu bytes a thread that encodes "
                "nothing touches):\n\n",
                threadStack);
    std::printf("| workload | heap allocations | peak heap bytes | stack bytes |\n");
    std::printf("|---|---:|---:|---:|\n");
    for (const auto& w : workloads) {
        coder.SetKanjiAllowed(w.kind == BenchWorkload::Kind::Kanji);
        EncodeJob job{&coder, &w, false};
        StackUsed(job); // the first encode of this shape may create the coder
        const std::size_t before = allocations;
        const std::size_t liveBefore = liveBytes;
        peakBytes = liveBytes;
        const std::size_t stack = StackUsed(job);
        // The stack buffer itself is on the heap: leave it out.
        const std::size_t peak = peakBytes - liveBefore - kStackBytes;
        const std::size_t calls = allocations - before - 1;
        if (!job.encoded) {
            std::printf("| %s | no symbol | | |\n", w.name.c_str());
            continue;
        }
        std::printf("| %s | %zu | %zu | %zu |\n", w.name.c_str(), calls, peak, stack - threadStack);
    }
    return 0;
}
