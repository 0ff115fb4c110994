#pragma once
// The skull measurements, by Martin's numbers, that methods of several
// families take, as their input columns name them.

namespace Skull {
inline constexpr const char *M1 = "Největší délka lebky (glabella-opisthocranion, M1)";
inline constexpr const char *M5 = "Délka báze lebky (basion-nasion, M5)";
inline constexpr const char *M8 = "Největší šířka lebky (euryon-euryon, M8)";
inline constexpr const char *M17 = "Basiobregmatická výška lebka (basion-bregma, M17)";
inline constexpr const char *M40 = "Délka obličeje (basion-prosthion. M40)";
inline constexpr const char *M45 = "Bizygomatická šířka obličeje (zygion-zygion, M45)";
inline constexpr const char *M47 = "Morfologická výška obličeje (nasion-gnathion, M47)";
inline constexpr const char *M48 = "Výška horního obličeje (prosthion-nasion, M48)";
inline constexpr const char *M54 = "Šířka nosu (aperthion-aperthion, M54)";
inline constexpr const char *M55 = "Výška nosu (nasion-nasospinale, M55)";
} // namespace Skull
