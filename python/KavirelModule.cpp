// _kavirel: the C++ half of the Python package kavirel. Every computation
// runs without the interpreter lock, so that threads of a script, and the
// workers of a cluster, analyse side by side.
#include "ModuleSound.h"
#include "TextFunctions.h"
#include "soundfile/AnalysisThreads.h"
#include "soundfile/Decoder.h"

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <tuple>
#include <utility>

namespace py = pybind11;

namespace {

template <typename T> py::array_t<T> Array(const std::vector<T>& values) {
    return py::array_t<T>(py::ssize_t(values.size()), values.data());
}

template <typename T>
py::array_t<T> Array(const std::vector<T>& values, py::ssize_t rows, py::ssize_t columns) {
    py::array_t<T> array({rows, columns});
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

// The result of f, computed without the interpreter lock.
template <typename F> auto Released(F&& f) {
    py::gil_scoped_release release;
    return f();
}

std::optional<RawFormat>
ReadRaw(const std::optional<std::tuple<int32_t, int32_t, int32_t, int64_t, std::string>>& raw) {
    if (!raw)
        return std::nullopt;
    const auto& [rate, channels, bps, offset, order] = *raw;
    if (order != "LSB" && order != "MSB")
        throw std::invalid_argument("the byte order of raw must be \"LSB\" or \"MSB\"");
    RawFormat format;
    format.rate = rate;
    format.channels = channels;
    format.bytesPerSample = bps;
    format.dataOffset = offset;
    format.msbFirst = order == "MSB";
    return format;
}

py::tuple SpectrumTuple(const SpectrumResult& r) {
    return py::make_tuple(r.binWidthHz, r.decibels, r.levelRef, Array(r.levels),
                          r.smoothed.empty() ? py::object(py::none()) : Array(r.smoothed));
}

} // namespace

PYBIND11_MODULE(_kavirel, m) {
    m.doc() = "The analyses of Kavirel, computed by the program's own C++";
    py::register_exception<AnalysisError>(m, "Error");

    py::class_<ModuleSound>(m, "Sound")
        .def(py::init([](const std::string& path,
                         const std::optional<
                             std::tuple<int32_t, int32_t, int32_t, int64_t, std::string>>& raw,
                         bool userSettings) {
                 const auto format = ReadRaw(raw);
                 return Released(
                     [&] { return std::make_unique<ModuleSound>(path, format, userSettings); });
             }),
             py::arg("path"), py::arg("raw") = py::none(), py::arg("user_settings") = false)
        .def_property_readonly("path", [](const ModuleSound& s) { return s.Info().path; })
        .def_property_readonly(
            "format_name", [](const ModuleSound& s) { return std::string(FormatName(s.Info())); })
        .def_property_readonly("rate", [](const ModuleSound& s) { return s.Info().rate; })
        .def_property_readonly("channels", [](const ModuleSound& s) { return s.Info().channels; })
        .def_property_readonly("bytes_per_sample",
                               [](const ModuleSound& s) { return s.Info().bytesPerSample; })
        .def_property_readonly("frames", [](const ModuleSound& s) { return s.Info().frames; })
        .def_property_readonly("data_offset",
                               [](const ModuleSound& s) { return s.Info().dataOffset; })
        .def_property_readonly("block_align",
                               [](const ModuleSound& s) { return s.Info().blockAlign; })
        .def_property_readonly("flags", [](const ModuleSound& s) { return s.Info().flags; })
        .def_property_readonly("decoded_path",
                               [](const ModuleSound& s) { return s.Info().decodedPath; })
        .def_property_readonly("info_text",
                               [](const ModuleSound& s) { return FileInfoText(s.Info()); })
        .def_property_readonly("full_scale", &ModuleSound::FullScale)
        .def("task", &ModuleSound::Task)
        .def("overview",
             [](ModuleSound& s, int width) {
                 const OverviewResult r = Released([&] { return s.Overview(width); });
                 const py::ssize_t channels = s.Info().channels;
                 return py::make_tuple(Array(r.values, 2 * channels, 2 * py::ssize_t(width)),
                                       r.fromCache);
             })
        .def("spectrum",
             [](ModuleSound& s, const SpectrumRequest& request) {
                 return SpectrumTuple(Released([&] { return s.Spectrum(request); }));
             })
        .def("peaks",
             [](ModuleSound& s, const SpectrumRequest& request, int count) {
                 const auto peaks = Released([&] { return s.Peaks(request, count); });
                 std::vector<int32_t> bins;
                 std::vector<double> frequencies;
                 std::vector<float> levels;
                 for (const SpectrumPeak& peak : peaks) {
                     bins.push_back(peak.bin);
                     frequencies.push_back(peak.frequencyHz);
                     levels.push_back(peak.level);
                 }
                 return py::make_tuple(Array(bins), Array(frequencies), Array(levels));
             })
        .def("highest_peak",
             [](ModuleSound& s, const SpectrumRequest& request) -> py::object {
                 const auto peak = Released([&] { return s.HighestPeak(request); });
                 if (!peak)
                     return py::none();
                 return py::make_tuple(peak->bin, peak->frequencyHz, peak->level);
             })
        .def("sonagram",
             [](ModuleSound& s, const SonagramRequest& request) {
                 const SonagramResult r = Released([&] { return s.Sonagram(request); });
                 return py::make_tuple(Array(r.cells, r.height, r.width), Array(r.levels), r.dBMax,
                                       r.floor, r.fmax, r.levelMin, r.levelMax);
             })
        .def("envelope",
             [](ModuleSound& s, const SoundTask& task, int width) {
                 const EnvelopeResult r = Released([&] { return s.Envelope(task, width); });
                 return py::make_tuple(Array(r.values), r.lower, r.upper);
             })
        .def("pitch",
             [](ModuleSound& s, const PitchRequest& request) {
                 const PitchContour c = Released([&] { return s.Pitch(request); });
                 return py::make_tuple(Array(c.times), Array(c.f0));
             })
        .def("samples",
             [](ModuleSound& s, const SoundTask& task) {
                 return Array(Released([&] { return s.Samples(task); }));
             })
        .def("levels", [](ModuleSound& s) {
            const FileLevels l = Released([&] { return s.Levels(); });
            return py::make_tuple(l.peakDbfs, l.rmsDbfs);
        });

    py::class_<SoundTask>(m, "Task")
        .def_readonly("start", &SoundTask::start)
        .def_readonly("end", &SoundTask::end)
        .def_readonly("channel", &SoundTask::channel);

    py::class_<SpectrumRequest>(m, "SpectrumRequest")
        .def(py::init<>())
        .def_readwrite("task", &SpectrumRequest::task)
        .def_readwrite("lfft", &SpectrumRequest::lfft)
        .def_readwrite("lwdw", &SpectrumRequest::lwdw)
        .def_readwrite("shift", &SpectrumRequest::shift)
        .def_readwrite("window", &SpectrumRequest::window)
        .def_readwrite("method", &SpectrumRequest::method)
        .def_readwrite("level", &SpectrumRequest::level)
        .def_readwrite("average", &SpectrumRequest::average)
        .def_readwrite("cepfreq", &SpectrumRequest::cepFreq)
        .def_readwrite("linear", &SpectrumRequest::linear)
        .def_readwrite("screen_width", &SpectrumRequest::screenWidth);

    py::class_<SonagramRequest>(m, "SonagramRequest")
        .def(py::init<>())
        .def_readwrite("task", &SonagramRequest::task)
        .def_readwrite("lfft", &SonagramRequest::lfft)
        .def_readwrite("lwdw", &SonagramRequest::lwdw)
        .def_readwrite("window", &SonagramRequest::window)
        .def_readwrite("range", &SonagramRequest::range)
        .def_readwrite("level", &SonagramRequest::level)
        .def_readwrite("fmax", &SonagramRequest::fmax)
        .def_readwrite("screen_width", &SonagramRequest::screenWidth);

    py::class_<PitchRequest>(m, "PitchRequest")
        .def(py::init<>())
        .def_readwrite("task", &PitchRequest::task)
        .def_readwrite("floor", &PitchRequest::floor)
        .def_readwrite("ceiling", &PitchRequest::ceiling)
        .def_readwrite("step", &PitchRequest::step);

    m.def(
        "note", [](double f, double ref, int notation) { return NoteName(f, ref, notation); },
        py::arg("freq"), py::arg("ref"), py::arg("notation"));
    m.def(
        "time",
        [](const std::string& text, double rate) {
            const TimeReading t = ReadTime(text, rate);
            return py::make_tuple(t.frames, t.compact, t.clock);
        },
        py::arg("text"), py::arg("rate"));
    m.def("sound_file_extensions", &SoundFileExtensions);
    m.def("analysis_threads", &AnalysisThreads);
    m.def("set_analysis_threads", &SetAnalysisThreads);
}
