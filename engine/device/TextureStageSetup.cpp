#include "engine/device/TextureStageSetup.h"

#include "engine/device/GraphicsDevice.h"

namespace {

constexpr uint32_t kArgFlags = TextureArg::Complement | TextureArg::AlphaReplicate;

// Operations the stages know; any other one selects its first argument.
uint8_t KnownOp(uint32_t op)
{
    switch (op) {
    case TextureOp::Disable:
    case TextureOp::SelectArg1:
    case TextureOp::SelectArg2:
    case TextureOp::Modulate:
    case TextureOp::DotProduct3:
    case TextureOp::Lerp: return static_cast<uint8_t>(op);
    default: return TextureOp::SelectArg1;
    }
}

// Sources other than the five known ones read the current colour.
uint8_t KnownArg(uint32_t arg)
{
    uint32_t source = arg & TextureArg::SelectMask;
    if (source > TextureArg::Specular) source = TextureArg::Current;
    return static_cast<uint8_t>(source | (arg & kArgFlags));
}

// Which of arguments 0, 1, 2 the operation reads, as bits.
unsigned ArgsRead(uint8_t op)
{
    switch (op) {
    case TextureOp::Disable: return 0;
    case TextureOp::SelectArg2: return 4;
    case TextureOp::Modulate:
    case TextureOp::DotProduct3: return 6;
    case TextureOp::Lerp: return 7;
    default: return 2;
    }
}

// Reads the operation's arguments from the device (unread ones stay 0) and says whether one of
// them is the texture.
bool ReadArgs(const GraphicsDevice& device, uint32_t stage, uint8_t op, const StageState (&states)[3], uint8_t* args)
{
    bool readsTexture = false;
    const unsigned read = ArgsRead(op);
    for (int i = 0; i < 3; ++i) {
        if ((read & (1u << i)) == 0) continue;
        args[i] = KnownArg(device.GetTextureStageState(stage, states[i]));
        readsTexture = readsTexture || (args[i] & TextureArg::SelectMask) == TextureArg::Texture;
    }
    return readsTexture;
}

uint8_t MirrorOnceAxes(const GraphicsDevice& device, uint32_t stage)
{
    const SamplerState axes[3] = {SamplerState::AddressU, SamplerState::AddressV, SamplerState::AddressW};
    uint8_t bits = 0;
    for (int i = 0; i < 3; ++i) {
        if (device.GetSamplerState(stage, axes[i]) == TextureAddress::MirrorOnce) bits |= static_cast<uint8_t>(1u << i);
    }
    return bits;
}

std::string Argument(uint8_t arg)
{
    std::string value;
    switch (arg & TextureArg::SelectMask) {
    case TextureArg::Diffuse: value = "vD0"; break;
    case TextureArg::Texture: value = "tex"; break;
    case TextureArg::TFactor: value = "harnTextureFactor"; break;
    case TextureArg::Specular: value = "vD1"; break;
    default: value = "current"; break;
    }
    if (arg & TextureArg::Complement) value = "(vec4(1.0) - " + value + ")";
    if (arg & TextureArg::AlphaReplicate) value = "vec4(" + value + ".a)";
    return value;
}

std::string Operation(uint8_t op, const uint8_t (&args)[3])
{
    switch (op) {
    case TextureOp::SelectArg2: return Argument(args[2]);
    case TextureOp::Modulate: return Argument(args[1]) + " * " + Argument(args[2]);
    case TextureOp::DotProduct3:
        return "vec4(clamp(4.0 * dot(" + Argument(args[1]) + ".rgb - 0.5, " + Argument(args[2]) +
               ".rgb - 0.5), 0.0, 1.0))";
    case TextureOp::Lerp:
        return Argument(args[0]) + " * " + Argument(args[1]) + " + (vec4(1.0) - " + Argument(args[0]) + ") * " +
               Argument(args[2]);
    default: return Argument(args[1]);
    }
}

// The stage's texture read: the coordinate set, made absolute on its mirror-once axes.
std::string Fetch(int stage, const TextureStageSetup::Stage& s)
{
    const std::string coord = "vT" + std::to_string(s.texCoord);
    const int axes = s.texture == TextureStageSetup::kVolume ? 3 : 2;
    std::string components;
    for (int i = 0; i < axes; ++i) {
        const std::string component = coord + "." + "xyz"[i];
        if (i > 0) components += ", ";
        components += (s.mirrorOnce & (1u << i)) ? "abs(" + component + ")" : component;
    }
    const std::string n = std::to_string(stage);
    if (axes == 3) return "texture(sv" + n + ", vec3(" + components + "))";
    return "texture(s" + n + ", vec2(" + components + "))";
}

}  // namespace

TextureStageSetup TextureStageSetup::Of(const GraphicsDevice& device)
{
    static constexpr StageState kColorArgs[3] = {StageState::ColorArg0, StageState::ColorArg1, StageState::ColorArg2};
    static constexpr StageState kAlphaArgs[3] = {StageState::AlphaArg0, StageState::AlphaArg1, StageState::AlphaArg2};
    TextureStageSetup setup;
    for (uint32_t i = 0; i < kStages; ++i) {
        Stage& stage = setup.stages[i];
        stage.colorOp = KnownOp(device.GetTextureStageState(i, StageState::ColorOp));
        if (stage.colorOp == TextureOp::Disable) {
            stage.colorOp = 0;
            break;
        }
        stage.alphaOp = KnownOp(device.GetTextureStageState(i, StageState::AlphaOp));
        bool readsTexture = ReadArgs(device, i, stage.colorOp, kColorArgs, stage.colorArgs);
        readsTexture = ReadArgs(device, i, stage.alphaOp, kAlphaArgs, stage.alphaArgs) || readsTexture;
        const DeviceTexture* texture = device.GetTexture(i);
        // A stage without a texture reads opaque white, which needs no program of its own.
        if (!readsTexture || !texture) continue;
        stage.texture = texture->Kind() == TextureKind::Volume ? kVolume : kTexture2D;
        stage.texCoord = static_cast<uint8_t>(device.GetTextureStageState(i, StageState::TexCoordIndex) & 3);
        stage.mirrorOnce = MirrorOnceAxes(device, i);
    }
    return setup;
}

std::string TextureStageSetup::PixelBody() const
{
    std::string body = "uniform vec4 harnTextureFactor;\nvoid main()\n{\n    vec4 current = vD0;\n    vec4 tex;\n";
    for (int i = 0; i < kStages && stages[i].colorOp != 0; ++i) {
        const Stage& s = stages[i];
        body += "    tex = " + (s.texture == kNoTexture ? std::string("vec4(1.0)") : Fetch(i, s)) + ";\n";
        const std::string alpha = s.alphaOp == TextureOp::Disable
                                      ? std::string("current.a")
                                      : "clamp((" + Operation(s.alphaOp, s.alphaArgs) + ").a, 0.0, 1.0)";
        body += "    current = vec4(clamp((" + Operation(s.colorOp, s.colorArgs) + ").rgb, 0.0, 1.0), " + alpha + ");\n";
    }
    body += "    oC0 = current;\n}\n";
    return body;
}
