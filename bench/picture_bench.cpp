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
#include <vector>

#include "app/frame_loop.h"
#include "app/global_state.h"
#include "field/field.h"
#include "field/picture.h"
#include "field/picture_listing.h"

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

// The first frame of Grill, the picture effect that loads one: what a viewer waits for between two frames.
// Each iteration starts the effect afresh; "worst_ms" is the slowest such frame of the run.
constexpr int grillEffect = 21;

void firstFrameWith(benchmark::State& state, const std::string& folder) {
    double worst = 0;
    for (auto _ : state) {
        state.PauseTiming();
        resetAllState();
        prepareField(1);
        setPictureDirectory(folder);
        startWithEffect(grillEffect);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        timerTick();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        worst = std::max(worst, took.count());
        benchmark::ClobberMemory();
    }
    state.counters["worst_ms"] = worst;
    setPictureDirectory("");
}

void firstFrameWithPhoto(benchmark::State& state) {
    BenchFolder folder;
    writeJpeg(folder.file("photo.jpg"), 4000, 3000, photo(4000, 3000));
    firstFrameWith(state, folder.path());
}

// 7071 x 7071 black pixels: 146 KB of PNG, 150 MB decoded.
void firstFrameWithZeroPng(benchmark::State& state) {
    BenchFolder folder;
    writePng(folder.file("zeros.png"), 7071, 7071, std::vector<uint8_t>(7071ull * 7071 * 3));
    firstFrameWith(state, folder.path());
}

// 100,000 small .jpg files: every name costs a status.
void firstFrameWith100000Files(benchmark::State& state) {
    BenchFolder folder;
    const std::vector<uint8_t> small = noise(200, 200, 3);
    writeJpeg(folder.file("picture-0.jpg"), 200, 200, small);
    for (int i = 1; i < 100000; ++i) {
        std::filesystem::copy_file(folder.file("picture-0.jpg"), folder.file("picture-" + std::to_string(i) + ".jpg"));
    }
    firstFrameWith(state, folder.path());
}

BENCHMARK(firstFrameWithPhoto)->Name("Picture/FirstFrame/Photo4000x3000Jpeg")->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(firstFrameWithZeroPng)->Name("Picture/FirstFrame/Zeros7071Png")->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(firstFrameWith100000Files)->Name("Picture/FirstFrame/100000Files")->Unit(benchmark::kMillisecond)->Iterations(10);

BENCHMARK(loadFromBigFolder)->Name("Picture/LoadFrom10000Files")->Unit(benchmark::kMillisecond);
BENCHMARK(listBigFolder)->Name("Picture/List10000Files")->Unit(benchmark::kMillisecond);
BENCHMARK(loadPhoto)->Name("Picture/LoadPhoto4000x3000Jpeg")->Unit(benchmark::kMillisecond);

} // namespace
} // namespace glowfield
