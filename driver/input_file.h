#pragma once
// The input file of a run, read from the current directory. The program
// reads it; the mesh-study tool writes one into each mesh folder.
#include <string_view>

namespace kestrelfold {

inline constexpr std::string_view kInputFile = "Kestrelfold.in";
// The unit it is read on, as its messages name it.
inline constexpr int kInputUnit = 7;

// A value of the input file as the messages name it: "N", the 3rd value.
struct InputValue {
    std::string_view name;
    int number;
};

// The eight values, one a read, in the order of the file.
inline constexpr InputValue kCasoValue{"caso", 1};
inline constexpr InputValue kFonteValue{"fonte", 2};
inline constexpr InputValue kNValue{"N", 3};
inline constexpr InputValue kGrafValue{"graf", 4};
inline constexpr InputValue kCoefValue{"coef", 5};
inline constexpr InputValue kSolValue{"sol", 6};
inline constexpr InputValue kFreqValue{"freq", 7};
inline constexpr InputValue kTituloValue{"titulo", 8};

}  // namespace kestrelfold
