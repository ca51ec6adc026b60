#pragma once

namespace tessarin {

/// How a batch of layouts is scored. Every path gives the same fits bit for
/// bit; they differ only in speed.
enum class FitPath {
    OneByOne, ///< LayoutFitness, one layout after another (the reference)
    Portable, ///< plain C++ over trial lanes, for any CPU
    Avx2,     ///< 256-bit registers, 4 trials a register
    Avx512,   ///< 512-bit registers, 8 trials (or 4 trials x 2 pairs) a register
};

/// "single", "portable", "avx2" or "avx512".
const char *FitPathName(FitPath path);

/// True when this CPU can run `path`.
bool FitPathSupported(FitPath path);

/// The fastest path this CPU supports.
FitPath BestFitPath();

/// How the fit measure runs, for the search's batched kernel and for the
/// map solvers' fit-and-gradient pass alike (OneByOne runs as Portable in the
/// latter).
struct FitOptions {
    FitPath path = FitPath::Portable;
    /// 1: everything on the calling thread. 2: half the work (the search's
    /// trials, 4 each; the second half of the pairs of a gradient pass) goes
    /// to the persistent worker thread once the item count reaches
    /// minItemsForThreads. Measured on a 2-core AVX-512 machine, handing over
    /// half a batch starts to pay between N = 96 and N = 128.
    int threads = 1;
    int minItemsForThreads = 128;
};

/// Chosen once, at the first call: the best supported path and 2 threads when
/// the machine has 2 or more cores. The environment variables
/// TESSARIN_FIT_PATH (single|portable|avx2|avx512) and TESSARIN_FIT_THREADS
/// (1|2) override the choice; a path the CPU lacks, or a value not in these
/// lists, is ignored.
const FitOptions &DefaultFitOptions();

/// The options `base` becomes under the given environment values (either may
/// be null). Exposed for tests.
FitOptions FitOptionsFromEnvironment(FitOptions base, const char *pathValue, const char *threadsValue);

} // namespace tessarin
