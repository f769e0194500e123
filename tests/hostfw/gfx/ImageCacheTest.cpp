#include "GfxTestSupport.h"
#include "ResourceFixture.h"

#include "hostfw/app/epiWindowApplication.h"
#include "hostfw/gfx/epiBitmapCasts.h"

#include <gtest/gtest.h>

#include <algorithm>

using gfxtest::argb;
using gfxtest::makePng;
using gfxtest::RecordingResources;
using gfxtest::ResourceSources;

namespace {

// A film strip whose colours differ per pixel, a mask opaque on the left half
// only, and an image with alpha of its own and no mask.
const std::string kFilm =
    makePng(6, 3, [](int x, int y) { return argb(255, 40 * x, 80 * y, 200); });
const std::string kFilmMask =
    makePng(6, 3, [](int x, int) { return argb(255, x < 3 ? 255 : 0, 13, 13); });
const std::string kPlain = makePng(2, 2, [](int x, int) { return argb(x ? 90 : 255, 1, 2, 3); });

std::map<std::string, std::string> imageFiles()
{
    return {{"images/dials_filmstrip.png", kFilm},
            {"images/dials_filmstrip_alpha.png", kFilmMask},
            {"images/plain.png", kPlain}};
}

long count(const std::vector<std::string>& asked, const std::string& name)
{
    return std::count(asked.begin(), asked.end(), name);
}

} // namespace

TEST(ImageCache, MasksApplyAlikeFromAFolderAndAPack)
{
    ResourceSources sources(imageFiles());
    std::vector<std::uint32_t> pixels[2];
    const std::string paths[] = {sources.folder(), sources.pack()};
    for (int i = 0; i < 2; ++i) {
        epiResources resources;
        ASSERT_TRUE(resources.openSourceFile(epiPath(paths[i])));
        epiBitmap* film = resources.getImageCString("dials_filmstrip.png");
        ASSERT_NE(film, nullptr) << paths[i];
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 6; ++x) {
                const std::uint32_t want = x < 3 ? argb(255, static_cast<std::uint32_t>(40 * x),
                                                        static_cast<std::uint32_t>(80 * y), 200)
                                                 : 0u;
                EXPECT_EQ(film->getPixel(x, y), want) << paths[i] << " " << x << "," << y;
                pixels[i].push_back(film->getPixel(x, y));
            }
        // Without a mask file the image keeps its own alpha.
        epiBitmap* plain = resources.getImage(epiText("plain.png"));
        ASSERT_NE(plain, nullptr);
        EXPECT_EQ(plain->getPixel(0, 0), argb(255, 1, 2, 3));
        EXPECT_TRUE(gfxtest::near(plain->getPixel(1, 1), argb(90, 1, 2, 3), 1));
        pixels[i].push_back(plain->getPixel(1, 0));
        resources.exit();
    }
    EXPECT_EQ(pixels[0], pixels[1]);
}

TEST(ImageCache, ANameDecodesOnceAndAFailureCachesNothing)
{
    ResourceSources sources(imageFiles());
    for (const std::string& path : {sources.folder(), sources.pack()}) {
        RecordingResources resources;
        ASSERT_TRUE(resources.openSourceFile(epiPath(path)));
        epiBitmapCasts& cache = resources.imageCache();
        epiBitmap* first = cache.getImage("dials_filmstrip.png");
        epiBitmap* second = cache.getImage("dials_filmstrip.png", epiCode("imag"));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first, second);
        EXPECT_EQ(count(resources.asked, "images/dials_filmstrip.png") +
                      count(resources.asked, "dials_filmstrip.png"),
                  1)
            << path;
        EXPECT_EQ(cache.size(), 1u);
        epiText name;
        EXPECT_TRUE(cache.getImageName(first, name));
        EXPECT_TRUE(name.equalsCString("dials_filmstrip.png"));
        epiBitmap other;
        EXPECT_FALSE(cache.getImageName(&other, name));
        EXPECT_TRUE(name.isEmpty());

        // Names are case-sensitive: another spelling is another entry, which
        // fails to load here and leaves nothing behind.
        EXPECT_EQ(cache.getImage("Dials_filmstrip.png"), nullptr);
        EXPECT_EQ(cache.size(), 1u);
        resources.exit();
        EXPECT_EQ(cache.size(), 0u);
    }

    // The next request after a failure tries again.
    ResourceSources later({});
    RecordingResources resources;
    ASSERT_TRUE(resources.openSourceFile(epiPath(later.folder())));
    EXPECT_EQ(resources.getImageCString("late.png"), nullptr);
    later.temp.write("Folder.frs/images/late.png", kPlain);
    epiBitmap* late = resources.getImageCString("late.png");
    ASSERT_NE(late, nullptr);
    EXPECT_EQ(late->getPixel(0, 1), argb(255, 1, 2, 3));
}

TEST(ImageCache, ImagesComeFromTheApplicationsFactory)
{
    epiWindowApplication application;
    ResourceSources sources(imageFiles());
    epiResources resources;
    resources.attach(&application);
    ASSERT_TRUE(resources.init());
    ASSERT_TRUE(resources.openSourceFile(epiPath(sources.pack())));
    std::unique_ptr<epiBitmap> made(resources.createBitmap());
    ASSERT_NE(made, nullptr);
    EXPECT_NE(resources.getImageCString("plain.png"), nullptr);

    // A factory whose 'iBmp' is not a bitmap gives none, and no image loads.
    epiWindowApplication::registerUiKind(epiCode("iBmp"), [] { return new epiObject; });
    EXPECT_EQ(resources.createBitmap(), nullptr);
    EXPECT_EQ(resources.getImageCString("dials_filmstrip.png"), nullptr);
    epiWindowApplication::unregisterUiKind(epiCode("iBmp"));
    resources.exit();
}
