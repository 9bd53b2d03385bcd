// Picture loads against the 20 ms tick: a folder of 10,000 files, few of them pictures, and a phone-sized
// photo.
//
//   build/glowfield_bench --benchmark_filter=Picture
#include <benchmark/benchmark.h>
#include <png.h>
#include <turbojpeg.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/frame_loop.h"
#include "effects/world.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/picture_listing.h"
#include "field/picture_loader.h"

namespace glowfield {
namespace {

// A folder under the system's temporary directory, removed with everything in it at the end of the run.
class BenchFolder {
  public:
    BenchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "glowfield-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            path_ = pattern;
        }
    }
    ~BenchFolder() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

// Pixels that do not compress, so that every picture is a candidate by size, as real photos are.
std::vector<uint8_t> noise(int width, int height, uint32_t seed) {
    std::vector<uint8_t> rgb(static_cast<size_t>(width) * height * 3);
    for (uint8_t& sample : rgb) {
        seed = seed * 1664525u + 1013904223u;
        sample = static_cast<uint8_t>(seed >> 24);
    }
    return rgb;
}

// Like a camera's picture: smooth light with some grain.
std::vector<uint8_t> photo(int width, int height) {
    std::vector<uint8_t> rgb = noise(width, height, 7);
    for (int r = 0; r < height; ++r) {
        for (int c = 0; c < width; ++c) {
            uint8_t* pixel = &rgb[(static_cast<size_t>(r) * width + c) * 3];
            pixel[0] = static_cast<uint8_t>(c * 200 / width + pixel[0] / 16);
            pixel[1] = static_cast<uint8_t>(r * 200 / height + pixel[1] / 16);
            pixel[2] = static_cast<uint8_t>(100 + pixel[2] / 16);
        }
    }
    return rgb;
}

void writePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr);
}

void writeJpeg(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    tjhandle compressor = tjInitCompress();
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (tjCompress2(compressor, rgb.data(), width, 0, height, TJPF_RGB, &out, &size, TJSAMP_420, 90, 0) ==
        0) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(out), static_cast<long>(size));
    }
    tjFree(out);
    tjDestroy(compressor);
}

// A .bmp file as picture tools write it: 24-bit rows from the bottom, padded to 4 bytes.
void writeBmp(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb) {
    const uint32_t rowBytes = (3 * static_cast<uint32_t>(width) + 3) / 4 * 4;
    std::vector<uint8_t> out(54 + static_cast<size_t>(rowBytes) * height);
    auto put = [&](size_t at, uint32_t value) { std::memcpy(&out[at], &value, 4); }; // little-endian machines
    out[0] = 'B', out[1] = 'M';
    put(2, static_cast<uint32_t>(out.size()));
    put(10, 54);
    put(14, 40);
    put(18, static_cast<uint32_t>(width));
    put(22, static_cast<uint32_t>(height));
    put(26, 1 | 24 << 16);
    for (int k = 0; k < height; ++k) {
        for (int l = 0; l < width; ++l) {
            const uint8_t* pixel = &rgb[(static_cast<size_t>(height - 1 - k) * width + l) * 3];
            uint8_t* stored = &out[54 + static_cast<size_t>(k) * rowBytes + 3 * l];
            stored[0] = pixel[2], stored[1] = pixel[1], stored[2] = pixel[0];
        }
    }
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(out.data()), static_cast<long>(out.size()));
}

// 10,000 files: 9,990 short notes and 10 pictures (4 .bmp, 3 .png, 3 .jpg of 320 x 240 to 640 x 480).
const BenchFolder& bigFolder() {
    static const BenchFolder folder = [] {
        BenchFolder made;
        for (int i = 0; i < 9990; ++i) {
            std::ofstream(made.file("note-" + std::to_string(i) + ".txt")) << "file " << i << "\n";
        }
        for (int i = 0; i < 10; ++i) {
            const std::string name = made.file("picture-" + std::to_string(i * 997));
            const std::vector<uint8_t> small = noise(320, 240, static_cast<uint32_t>(i));
            if (i < 4) {
                writeBmp(name + ".bmp", 320, 240, small);
            } else if (i < 7) {
                writePng(name + ".png", 320, 240, small);
            } else {
                const std::vector<uint8_t> large = photo(640, 480);
                writeJpeg(name + ".jpg", 640, 480, large);
            }
        }
        return made;
    }();
    return folder;
}

void loadFromBigFolder(benchmark::State& state) {
    field.gridSize = 200;
    setPictureDirectory(bigFolder().path());
    for (auto _ : state) {
        loadRandomPicture();
        benchmark::ClobberMemory();
    }
    setPictureDirectory("");
}

void listBigFolder(benchmark::State& state) {
    const std::string& folder = bigFolder().path();
    for (auto _ : state) {
        benchmark::DoNotOptimize(listPictureCandidates(folder, 120000));
    }
    state.counters["candidates"] = static_cast<double>(listPictureCandidates(folder, 120000).size());
}

// A 12-megapixel camera JPEG, decoded whole though the planes keep 1600 x 1200 of it.
void loadPhoto(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<uint8_t> rgb = photo(4000, 3000);
    writeJpeg(folder.file("photo.jpg"), 4000, 3000, rgb);
    field.gridSize = 200;
    setPictureDirectory(folder.path());
    for (auto _ : state) {
        loadRandomPicture();
        benchmark::ClobberMemory();
    }
    setPictureDirectory("");
}

// The first frames of Grill, the picture effect that loads one, as a viewer sees them: the frame that asks
// for the picture and, in play, the frame that lays it into the planes once the background has read it. Each
// iteration starts the effect afresh; "worst_ms" is the slowest such frame of the run. "Waiting" is a
// headless run, where the frame that asks waits for the picture so that every run gives the same frames.
constexpr int grillEffect = 21;

double timedFrame(const Session& session) {
    const auto start = std::chrono::steady_clock::now();
    timerTick(session);
    benchmark::ClobberMemory();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void firstFramesWith(benchmark::State& state, const std::string& folder, bool wait) {
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetWorld();
        prepareField(1);
        setPictureDirectory(folder);
        setPictureLoadsWait(wait);
        finishPictureLoads(); // the listing that play starts when the player sets the folder
        Session session;
        startWithEffect(session, grillEffect);
        state.ResumeTiming();
        worst = std::max(worst, timedFrame(session));
        state.PauseTiming();
        while (!pictureLoadsIdle()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        state.ResumeTiming();
        worst = std::max(worst, timedFrame(session));
    }
    state.counters["worst_ms"] = worst;
    setPictureLoadsWait(true);
    setPictureDirectory("");
}

template <bool wait> void firstFrameWithPhoto(benchmark::State& state) {
    BenchFolder folder;
    writeJpeg(folder.file("photo.jpg"), 4000, 3000, photo(4000, 3000));
    firstFramesWith(state, folder.path(), wait);
}

// 7071 x 7071 black pixels: 146 KB of PNG, 150 MB decoded.
template <bool wait> void firstFrameWithZeroPng(benchmark::State& state) {
    BenchFolder folder;
    writePng(folder.file("zeros.png"), 7071, 7071, std::vector<uint8_t>(7071ull * 7071 * 3));
    firstFramesWith(state, folder.path(), wait);
}

// 100,000 small .jpg files: every name costs a status. Made once, and left for longer than a listing of a
// folder changed just before it is distrusted, as a real folder is.
template <bool wait> void firstFrameWith100000Files(benchmark::State& state) {
    static const BenchFolder folder = [] {
        BenchFolder made;
        writeJpeg(made.file("picture-0.jpg"), 200, 200, noise(200, 200, 3));
        for (int i = 1; i < 100000; ++i) {
            std::filesystem::copy_file(made.file("picture-0.jpg"),
                                       made.file("picture-" + std::to_string(i) + ".jpg"));
        }
        std::this_thread::sleep_for(std::chrono::seconds(4));
        return made;
    }();
    firstFramesWith(state, folder.path(), wait);
}

BENCHMARK(firstFrameWithPhoto<false>)
    ->Name("Picture/FirstFrames/Photo4000x3000Jpeg/Play")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(firstFrameWithPhoto<true>)
    ->Name("Picture/FirstFrames/Photo4000x3000Jpeg/Waiting")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(firstFrameWithZeroPng<false>)
    ->Name("Picture/FirstFrames/Zeros7071Png/Play")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(firstFrameWithZeroPng<true>)
    ->Name("Picture/FirstFrames/Zeros7071Png/Waiting")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(firstFrameWith100000Files<false>)
    ->Name("Picture/FirstFrames/100000Files/Play")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(firstFrameWith100000Files<true>)
    ->Name("Picture/FirstFrames/100000Files/Waiting")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);
BENCHMARK(loadFromBigFolder)->Name("Picture/LoadFrom10000Files")->Unit(benchmark::kMillisecond);
BENCHMARK(listBigFolder)->Name("Picture/List10000Files")->Unit(benchmark::kMillisecond);
BENCHMARK(loadPhoto)->Name("Picture/LoadPhoto4000x3000Jpeg")->Unit(benchmark::kMillisecond);

} // namespace
} // namespace glowfield
