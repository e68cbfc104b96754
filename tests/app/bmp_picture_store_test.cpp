// The program's picture store writes real BMP files.
#include <gtest/gtest.h>

#include <cstdio>
#include <new>

#include "app/bmp_picture_store.h"
#include "imaging/image.h"

namespace {

TEST(BmpPictureStore, WritesAFileAndReportsFailures) {
    BmpPictureStore store;
    tlImage *image = new (std::nothrow) tlImage;
    ASSERT_TRUE(image);
    ASSERT_TRUE(image->create(3, 2, tlPixelFormat::rgb(8, 4)));
    const char *path = "cw_picture_store_test.bmp";
    ASSERT_TRUE(store.save(*image, path));
    FILE *file = std::fopen(path, "rb");
    ASSERT_TRUE(file);
    unsigned char head[2] = {0, 0};
    EXPECT_EQ(std::fread(head, 1, 2, file), 2u);
    std::fclose(file);
    std::remove(path);
    EXPECT_EQ(head[0], 'B');
    EXPECT_EQ(head[1], 'M');
    EXPECT_FALSE(store.save(*image, "no_such_folder_cw/x/w.bmp"));
    store.release(image);
    store.release(nullptr);
}

}  // namespace
